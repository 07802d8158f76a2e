# The conditions service's places and stations (tools/make-service-places).
foreach(table US_PLACES ZIP_CODES METAR_STATIONS WMO_STATIONS)
  string(TOLOWER ${table} file)
  list(APPEND entries "SVC_${table}|TXT|${CMAKE_CURRENT_SOURCE_DIR}/service/${file}.txt")
endforeach()
