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
