# The recorded words of the spoken temperature (tools/make-words), under the
# names the program plays them by; each file is its name in lower case.
foreach(name TEMPIS MINUS HUNDRED DEGREES S0 S1 S2 S3 S4 S5 S6 S7 S8 S9
             s10 s11 s12 s13 s14 s15 s16 s17 s18 s19
             TWENTY THIRTY FORTY FIFTY SIXTY SEVENTY EIGHTY NINETY)
  string(TOLOWER ${name} file)
  list(APPEND entries "${name}|WAVE|${CMAKE_CURRENT_SOURCE_DIR}/words/${file}.wav")
endforeach()
