# Runs cirrodex-inspect as a user would and checks what it prints.
# Invoked by ctest with -DINSPECT=<tool> -DDATA=<tests/data>.

set(failures 0)

function(run_tool out_var code_var)
  execute_process(COMMAND ${INSPECT} ${ARGN} OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  set(${out_var} "${out}${err}" PARENT_SCOPE)
  set(${code_var} "${code}" PARENT_SCOPE)
endfunction()

function(expect_lines what output)
  foreach(line IN LISTS ARGN)
    string(FIND "${output}" "${line}\n" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${what}: missing line [${line}] in:\n${output}")
    endif()
  endforeach()
endfunction()

function(expect_code what code expected)
  if(NOT code EQUAL expected)
    message(SEND_ERROR "${what}: exit status ${code}, expected ${expected}")
  endif()
endfunction()

string(ASCII 176 deg)
string(ASCII 13 cr)

# Page form, English units, automatic fetch: every field, then the calls in order.
run_tool(out code parse --auto ${DATA}/conditions_page.html)
expect_code("parse" ${code} 0)
expect_lines("parse" "${out}"
  "LocationName=Tuscaloosa, Alabama" "ConditionTime=3:53 PM CDT May 5" "Temperature=72${deg}F"
  "Wind=From the South @ 10mph" "MoonSet=9:31 AM CDT" "TemperatureF=72" "Caption=Cirrodex - "
  "status: ...parsing data..." "slot TEXT_TEMP=72${deg}F" "status: Thank you for using Cirrodex...")
string(FIND "${out}" "LocationName=" first_field)
string(FIND "${out}" "Caption=" caption_at)
string(FIND "${out}" "status: " first_call)
if(NOT (first_field EQUAL 0 AND caption_at LESS first_call))
  message(SEND_ERROR "parse: fields, caption and calls are out of order:\n${out}")
endif()
if(out MATCHES "message: ")
  message(SEND_ERROR "parse --auto must not add a preset:\n${out}")
endif()

# Metric, fetched by hand for a location string: the preset is added.
run_tool(out code parse --metric --location "Tuscaloosa, AL" ${DATA}/conditions_page.html)
expect_code("parse --metric" ${code} 0)
expect_lines("parse --metric" "${out}"
  "Temperature=22${deg} C" "Caption=Cirrodex - Tuscaloosa, AL"
  "message: Location added to Locations menu: Tuscaloosa, AL" "preset 0=Tuscaloosa, AL"
  "slot TEXT_LOCATION=TUSCALOOSA, AL")

# Raw form; a carriage return inside a value is shown as \r.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/inspect_raw_cr.txt "9 AM Jan 1, 2001|50|||45${cr}%|40|Calm|30 in|Clear|10|6 AM|6 PM|||||||Oslo|Norway|")
run_tool(out code parse --raw --auto ${CMAKE_CURRENT_BINARY_DIR}/inspect_raw_cr.txt)
expect_code("parse --raw" ${code} 0)
expect_lines("parse --raw" "${out}" "Humidity=45\\r%" "slot TEXT_HUMIDITY=45\\r%" "LocationName=Oslo, Norway"
  "Temperature=50${deg} F")

run_tool(out code location "Francistown, Botswana (O)")
expect_code("location" ${code} 0)
expect_lines("location" "${out}" "zip=" "city=Francistown" "state=Botswana (O)" "country=")
run_tool(out code location "12345 - Tuscaloosa, AL")
expect_lines("location zip" "${out}" "zip=12345" "state=AL" "country=US")

# Usage errors exit with 2 and one line saying why.
foreach(args "" "parse" "parse;--bogus;x" "parse;a;b" "parse;--location" "location" "frobnicate")
  run_tool(out code ${args})
  expect_code("usage [${args}]" ${code} 2)
  if(NOT out MATCHES "^cirrodex-inspect: ")
    message(SEND_ERROR "usage [${args}]: no one-line reason:\n${out}")
  endif()
endforeach()

run_tool(out code parse ${DATA}/no-such-file.html)
expect_code("missing file" ${code} 1)

# Skins: the built-in one as the program loads it, a rendering, a broken one.
run_tool(out code skin default)
expect_code("skin default" ${code} 0)
expect_lines("skin default" "${out}" "version 150" "mask mainmask.jpg" "hover-on yes" "size 338x368"
  "hotarea BUTTON_EXIT 319,6,11,12 switch=no down=no group= hint=EXIT"
  "hotarea BUTTON_FORECASTBTN 229,189,80,25 switch=no down=no group= hint=GET FORECAST"
  "slot TEXT_CONDTIME font=MS Sans Serif bold=yes italic=no size=10 color=$0000FF00 10,45 style=Text text=CONDITIONS AT"
  "slot TEXT_LOCATION font=Arial bold=no italic=no size=8 color=$00FFFFFF 94,6 style=Normal text="
  "other moonimage_locx=240" "other menuHighlightcolor=clHighlight")
if(NOT out MATCHES "region [0-9]+ rectangles, bounds 0,0,338,368\n")
  message(SEND_ERROR "skin default: no region line:\n${out}")
endif()

file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/inspect_skin)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/inspect_skin/skin.ini "[BITMAPINFO]\nMaskBitmap=missing.bmp\n")
run_tool(out code skin ${CMAKE_CURRENT_BINARY_DIR}/inspect_skin/skin.ini)
expect_code("broken skin" ${code} 1)
expect_lines("broken skin" "${out}" "error: cannot read ${CMAKE_CURRENT_BINARY_DIR}/inspect_skin/missing.bmp: No such file or directory")

# A slot line without its style item is drawn with the font: style Normal.
set(own ${CMAKE_CURRENT_BINARY_DIR}/inspect_own_skin)
file(REMOVE_RECURSE ${own})
file(COPY ${DATA}/../../resources/skins/default/mainmask.jpg ${DATA}/../../resources/skins/default/main.jpg
     DESTINATION ${own})
file(WRITE ${own}/skin.ini "[BITMAPINFO]\nMaskBitmap=mainmask.jpg\nMouseUpBitmap=main.jpg\nMouseDownBitmap=main.jpg\n"
     "MouseOnBitmap=main.jpg\n[DISPLAYINFO]\nCount=1\n1=TEXT_TEMP, Arial, FALSE, FALSE, 12, $0000FF00, 10, 20\n")
run_tool(out code skin ${own}/skin.ini)
expect_code("skin without a style item" ${code} 0)
expect_lines("skin without a style item" "${out}"
  "slot TEXT_TEMP font=Arial bold=no italic=no size=12 color=$0000FF00 10,20 style=Normal text=")

if(RENDER)
  set(png ${CMAKE_CURRENT_BINARY_DIR}/inspect_skin/face.png)
  file(REMOVE ${png})
  run_tool(out code skin-render default ${png} "TEXT_TEMP=72${deg}F")
  expect_code("skin-render" ${code} 0)
  if(NOT EXISTS ${png})
    message(SEND_ERROR "skin-render wrote no picture")
  endif()
  run_tool(out code skin-render default ${png} NOEQUALS)
  expect_code("skin-render usage" ${code} 2)
endif()

# url: the conditions address, with the host from the user's services file.
set(config ${CMAKE_CURRENT_BINARY_DIR}/inspect_config)
file(REMOVE_RECURSE ${config})
file(WRITE ${config}/cirrodex/services.conf "conditions = http://127.0.0.1:8080\nbogus = x\n")
function(run_url out_var)
  execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${config} ${INSPECT} url ${ARGN}
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE code)
  set(${out_var} "${out}${err}" PARENT_SCOPE)
endfunction()
run_url(out "Muscle_Shoals, AL")
expect_lines("url" "${out}" "url=http://127.0.0.1:8080/auto/Cirrodex/AL/Muscle_Shoals.html"
  "cirrodex-inspect: ${config}/cirrodex/services.conf line 2: unknown service \"bogus\"")
run_url(out --raw "12345 - Tuscaloosa, AL")
expect_lines("url --raw" "${out}" "url=http://127.0.0.1:8080/auto/raw/12345")
run_url(out "Abbeville, France (O)")
expect_lines("url abroad" "${out}" "url=http://127.0.0.1:8080/auto/Cirrodex/global/stations/07005.html")
run_url(out "Atlantis, Botswana (O)")
expect_lines("url abroad, unknown city" "${out}" "url="
  "message: Sorry, invalid Province/City found for Africa:Atlantis" "message: Error - Invalid city:n/a")

# station: the lookup alone, with the group it derived.
run_tool(out code station "Prague Libus" "Czech Republic (O)")
expect_lines("station" "${out}" "station=11520" "group=Europe")
run_tool(out code station Richmond "Tasmania (O)" Australasia)
expect_lines("station in a group table" "${out}" "station=94753" "group=Australasia")
run_tool(out code station Berlin "Germany (O)" Asia)
expect_lines("station, key outside its group" "${out}" "station=" "group=Asia")
run_tool(out code station x "Atlantis (O)")
expect_lines("station, unknown key" "${out}" "station="
  "message: Error - invalid state/territory (Foreign_locations):Atlantis (O)")
run_tool(out code station x)
expect_code("station usage" ${code} 2)

# tree: the location tree, one node a line, a tab per level.
run_tool(out code tree)
expect_code("tree" ${code} 0)
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 3356)
  message(SEND_ERROR "tree: ${count} lines, expected 3356")
endif()
expect_lines("tree" "${out}" "Continent" "\tAfrica" "\t\t\t\tMuscle_Shoals")
run_tool(out code url)
expect_code("url usage" ${code} 2)

# moon: both moon windows' values at an instant, event times in UTC, the
# local time in the system's zone.
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=Europe/Berlin ${INSPECT} moon 2024-04-13T12:00:00Z 48 -11
  OUTPUT_VARIABLE out RESULT_VARIABLE code)
expect_code("moon" ${code} 0)
expect_lines("moon" "${out}" "Julian date: 2460414.00000" "Universal time: 12:00:00 13 April 2024"
  "Local time: 14:00:00 13 April 2024" "Last new moon: 18:21 UTC 8 April 2024" "Lunation: 1253" "Lunation: 1254"
  "Sun's distance: 150021532 kilometres,  1.003 astronomical units." "Spring Equinox: 03:07 UTC 20 March 2024"
  "Winter Solstice: 09:21 UTC 21 December 2024" "Sun rise: 04:29 UTC 13 April 2024" "Moon set: ---"
  "Next moon eclipse: 07:14 UTC 25 March 2024 Half shadow" "Next sun eclipse: 18:18 UTC 8 April 2024 Total")
string(REGEX MATCHALL "\n" lines "${out}")
list(LENGTH lines count)
if(NOT count EQUAL 32)
  message(SEND_ERROR "moon: ${count} lines, expected 32")
endif()
foreach(bad "2024-04-31" "2024-04-13T25:00" "yesterday")
  run_tool(out code moon ${bad})
  expect_code("moon ${bad}" ${code} 2)
endforeach()
run_tool(out code moon 2024-04-13 91 0)
expect_code("moon latitude" ${code} 2)
run_tool(out code moon 3001-01-01)
expect_code("moon season range" ${code} 1)
expect_lines("moon season range" "${out}"
  "cirrodex-inspect: moon: Out of range of the algorithm (the seasons need a year from 1000 to 3000)")

# metar: the decoded elements in a fixed order, from a report or a station file.
run_tool(out code metar ${DATA}/metar/kord_station_file.txt)
expect_code("metar" ${code} 0)
set(want "station=KORD\ntime=112151Z\nwind_dir=280\nwind_kt=15\ngust_kt=25\nvisibility_m=16093\nweather=\nsky=BKN035 OVC070\ntemp_c=-3.3\ndewpoint_c=-10.0\npressure_hpa=1021.0\nhumidity=60\nconditions=Overcast\n")
if(NOT out STREQUAL want)
  message(SEND_ERROR "metar station file: got\n${out}\nexpected\n${want}")
endif()
run_tool(out code metar ${DATA}/metar/kbuf_m_quarter.txt)
expect_lines("metar" "${out}" "wind_dir=250" "gust_kt=40" "visibility_m=402" "weather=+SN BLSN FZFG" "sky=VV001"
  "temp_c=-6.1" "conditions=Heavy Snow")
run_tool(out code metar ${DATA}/metar/k1v4_auto_no_temp.txt)
expect_lines("metar, calm and no temperature" "${out}" "wind_dir=" "wind_kt=0" "gust_kt=" "temp_c=" "dewpoint_c="
  "humidity=" "conditions=Clear")
run_tool(out code metar ${DATA}/metar/lszh_cavok.txt)
expect_lines("metar CAVOK" "${out}" "wind_dir=VRB" "visibility_m=10000" "sky=" "pressure_hpa=1024.0")
# A report that cannot be decoded, an unreadable file: 1 and one line saying why.
run_tool(out code metar ${DATA}/metar/knyc_nil.txt)
expect_code("metar NIL" ${code} 1)
if(NOT out STREQUAL "cirrodex-inspect: metar: ${DATA}/metar/knyc_nil.txt: NIL report: no observation\n")
  message(SEND_ERROR "metar NIL: ${out}")
endif()
run_tool(out code metar ${DATA}/metar/no-such-report.txt)
expect_code("metar missing file" ${code} 1)
expect_lines("metar missing file" "${out}"
  "cirrodex-inspect: cannot read ${DATA}/metar/no-such-report.txt: No such file or directory")
foreach(args "metar" "metar;a;b")
  run_tool(out code ${args})
  expect_code("usage [${args}]" ${code} 2)
  if(NOT out MATCHES "^cirrodex-inspect: metar needs exactly one FILE\n")
    message(SEND_ERROR "usage [${args}]: no one-line reason:\n${out}")
  endif()
endforeach()

# after: what follows a parse, in the cycle's order, then every call.
run_tool(out code after --location "Tuscaloosa, AL" --set writelog=y --set TempIcon=b --set HIndexIcon=y
  --set WindcIcon=y --set soundtemp=y --set AlarmType=email --set AlarmTemp=70 --set AlarmTempCompare=exceeds
  --set Ahost=mail.test --set AUserEmail=me@test --set AsendtoE=you@test --now "2026-12-11 14:30:00"
  ${DATA}/conditions_page.html)
expect_code("after" ${code} 0)
string(CONCAT first "HeatIndex=75${deg}F\nWindChill=70${deg}F\n"
  "log: Tuscaloosa, AL,<STAMP>,Partly Cloudy,72${deg}F,45%,30.12 in,From the South @ 10mph,10 miles,50${deg}F,70${deg}F,75${deg}F\n"
  "icon temperature text=72${deg} size=17 x=1 color=clBlue\nicon heatindex text=75${deg} size=17 x=1 color=clMaroon\n"
  "icon windchill text=70${deg} size=17 x=1 color=clNavy\nspeak: TEMPIS pause:200 SEVENTY pause:200 S2 DEGREES\n"
  "alarm: email\nmail-body: Cirrodex Alarm!\\nYou are receiving this because a Cirrodex Alarm was set-up to \\n"
  "notify you when the Temperature exceeds 70 degrees.\\nThe current temperature is 72 degrees.\\n")
string(FIND "${out}" "${first}" at)
if(NOT at EQUAL 0)
  message(SEND_ERROR "after: the results are not first and in order:\n${out}")
endif()
expect_lines("after" "${out}" "status: ...parsing data..." "status: Writing data to log file..."
  "status: Log file updated..." "pause: 500" "status: Sending Alarm Message..." "status: Alarm Message sent!")
string(FIND "${out}" "status: Log file updated..." log_at)
string(FIND "${out}" "status: Sending Alarm Message..." mail_at)
if(NOT log_at LESS mail_at)
  message(SEND_ERROR "after: the calls are out of order:\n${out}")
endif()

# Metric, an audible alarm, a colour of the user's, nothing spoken.
run_tool(out code after --metric --set TempIcon=y --set TempIconColor=$00FF00FF --set AlarmType=audible
  --set AlarmTemp=20 --set AlarmTempCompare=exceeds --set Aaudible=/tmp/bell.wav ${DATA}/conditions_page.html)
expect_code("after --metric" ${code} 0)
expect_lines("after --metric" "${out}" "icon temperature text=22${deg} size=17 x=1 color=$00FF00FF" "speak: "
  "alarm: audible /tmp/bell.wav")
if(out MATCHES "log: " OR out MATCHES "icon heatindex")
  message(SEND_ERROR "after --metric: a step ran that was not asked for:\n${out}")
endif()

# No settings at all: the defaults, nothing written, drawn, said or sent.
run_tool(out code after --raw ${CMAKE_CURRENT_BINARY_DIR}/inspect_raw_cr.txt)
expect_code("after --raw" ${code} 0)
expect_lines("after --raw" "${out}" "speak: " "alarm: none" "status: Thank you for using Cirrodex...")

foreach(bad "after" "after;--now;2026-02-30 10:00:00;x" "after;--set;novalue;x" "after;--bogus;x")
  run_tool(out code ${bad})
  expect_code("usage [${bad}]" ${code} 2)
endforeach()
