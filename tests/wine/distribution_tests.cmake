# What users get: sheetlore.exe, the example hosts, the release package and the installer.

# Runs a program, clicks "Esc結束" on its maintenance dialog and passes on its exit status.
add_executable(dialog_closer dialog_closer.cpp)
target_include_directories(dialog_closer PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(dialog_closer PRIVATE -municode)
target_link_libraries(dialog_closer PRIVATE user32)
sheetlore_warnings(dialog_closer)

# sheetlore.exe end to end on the CUPS queues: every command's output and exit status. It
# opens the dialog too, so it takes the lock the other tests with windows take.
add_test(NAME cli_tool
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/cli_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:sheetlore_tool> $<TARGET_FILE:dialog_closer>)
set_tests_properties(cli_tool PROPERTIES
  LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:" RESOURCE_LOCK sheetlore_registration)

# The same commands on the simulated platform: refusals Wine's spooler never gives, a store
# that cannot be written, no printer.
file(GLOB SHEETLORE_SIM_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/platform/sim/*.cpp)
sheetlore_wine_test(cli_refusals_tests
  SOURCES cli_refusals_test.cpp ${SHEETLORE_SIM_SOURCES}
  LIBRARIES sheetlore_cli)

# examples/hello.vbs, hello.js and the C++ host against their expected output.
add_test(NAME examples
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/examples_test.sh ${CMAKE_CROSSCOMPILING_EMULATOR}
          $<TARGET_FILE:Sheetlore> $<TARGET_FILE:host> ${CMAKE_SOURCE_DIR}/examples
          ${CMAKE_CURRENT_SOURCE_DIR}/examples_expected)
set_tests_properties(examples PROPERTIES
  LABELS wine TIMEOUT 300 FAIL_REGULAR_EXPRESSION "FAIL:" RESOURCE_LOCK sheetlore_registration)

# The zip and the MSI hold both architectures, so they are tested once, from the x64 build,
# with the x86 build beside it (tools/build builds both into out/x64 and out/x86).
if(SHEETLORE_ARCH STREQUAL "x64")
  set(SHEETLORE_X86_BUILD_DIR ${CMAKE_BINARY_DIR}/../x86 CACHE PATH
      "The x86 build directory whose binaries the package and installer tests take")
  foreach(test package msi msi_upgrade signing)
    add_test(NAME ${test}
      COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/${test}_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
              ${SHEETLORE_X86_BUILD_DIR})
    set_tests_properties(${test} PROPERTIES
      LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:" RESOURCE_LOCK sheetlore_registration)
  endforeach()

  # Both architectures registered side by side and unregistered in either order.
  add_test(NAME registration_views
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/registration_views_test.sh $<TARGET_FILE:Sheetlore>
            ${SHEETLORE_X86_BUILD_DIR}/Sheetlore.dll ${CMAKE_CURRENT_BINARY_DIR}/registration_views)
  set_tests_properties(registration_views PROPERTIES
    LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:" RESOURCE_LOCK sheetlore_registration)

  # sheetlore doctor with both architectures registered, broken and healthy.
  add_test(NAME doctor
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/doctor_test.sh ${CMAKE_BINARY_DIR} ${SHEETLORE_X86_BUILD_DIR})
  set_tests_properties(doctor PROPERTIES
    LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:" RESOURCE_LOCK sheetlore_registration)

  # verify.cmd from the release package, with a helper confirming FormAllAdd's message boxes.
  add_executable(message_box_closer message_box_closer.cpp)
  target_include_directories(message_box_closer PRIVATE ${CMAKE_SOURCE_DIR})
  target_link_libraries(message_box_closer PRIVATE user32)
  sheetlore_warnings(message_box_closer)
  add_test(NAME verify_cmd
    COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/verify_test.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR}
            ${SHEETLORE_X86_BUILD_DIR} $<TARGET_FILE:message_box_closer>)
  set_tests_properties(verify_cmd PROPERTIES
    LABELS wine TIMEOUT 600 FAIL_REGULAR_EXPRESSION "FAIL:" RESOURCE_LOCK sheetlore_registration)
endif()
