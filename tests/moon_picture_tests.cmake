# The main window's moon picture: tables, rules, built-in pictures; and the
# pictures' script, which must reproduce the committed files.
cirrodex_add_test(test_moon_picture SOURCES moon_picture_test.cpp LIBS cirrodex_moon_picture)
execute_process(COMMAND /usr/bin/python3 -c "import PIL" RESULT_VARIABLE moon_pil OUTPUT_QUIET ERROR_QUIET)
if(moon_pil EQUAL 0)
  add_test(NAME moon_pictures_reproducible COMMAND /usr/bin/python3 ${PROJECT_SOURCE_DIR}/tools/make-moon-pictures --check)
endif()
