# Hardening under Wine: wrong arguments through the interface, and several processes sharing
# one paper store. Included by tests/wine/CMakeLists.txt.

# Every method by name with wrong arguments: documented results or automation errors only,
# and PrintSet.ini unchanged by every refused call. The object comes from the DLL's class
# factory, so no registration is needed.
sheetlore_wine_test(com_bad_input_tests
  SOURCES com_bad_input_test.cpp
  LIBRARIES ole32 oleaut32 uuid winspool)
add_dependencies(com_bad_input_tests Sheetlore)
set_tests_properties(com_bad_input_tests PROPERTIES RESOURCE_LOCK sheetlore_store)

# The processes of the two tests below, each loading Sheetlore.dll from the test's folder.
add_executable(store_worker store_worker.cpp)
target_include_directories(store_worker PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(store_worker PRIVATE ole32 oleaut32 uuid shell32)
sheetlore_warnings(store_worker)
add_dependencies(store_worker Sheetlore)

# Processes adding and deleting papers in one PrintSet.ini at once, each with names of its
# own: every paper added and not deleted stays listed and whole.
add_test(NAME store_concurrency
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/store_concurrency_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:store_worker> $<TARGET_FILE:Sheetlore>
          ${CMAKE_CURRENT_BINARY_DIR}/store_concurrency 4 40)
set_tests_properties(store_concurrency PROPERTIES
  LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL")

# A process storing, overwriting and deleting papers, killed 100 times at random moments:
# after every kill the store lists every paper once and whole, and loses none stored before.
add_test(NAME store_crash
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/store_crash_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:store_worker> $<TARGET_FILE:Sheetlore>
          ${CMAKE_CURRENT_BINARY_DIR}/store_crash 100 11)
set_tests_properties(store_crash PROPERTIES
  LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL")
