# The files an installation ships: exact bytes on a fresh installation, and a second laying
# (a rebuild, a new install over an old one) leaves a person's settings and users alone.
#   cmake -DVARNIX_SOURCE=<source tree> -DWORK=<scratch folder> -P lay_defaults_test.cmake
cmake_minimum_required(VERSION 3.25)
set(target "${WORK}/install")
file(REMOVE_RECURSE "${WORK}")

function(lay)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DVARNIX_DEFAULTS=${VARNIX_SOURCE}/resources/defaults
                          -DVARNIX_TARGET=${target} -P ${VARNIX_SOURCE}/cmake/LayDefaults.cmake
                  RESULT_VARIABLE result OUTPUT_QUIET)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "laying the defaults failed: ${result}")
  endif()
endfunction()

function(expect_hex path expected)
  file(READ "${path}" actual HEX)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${path}: expected ${expected}, found ${actual}")
  endif()
endfunction()

function(expect_contains path text)
  file(READ "${path}" content)
  string(FIND "${content}" "${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${path} does not contain ${text}")
  endif()
endfunction()

# A fresh installation.
lay()
expect_hex("${target}/Varnix.ini" "5b557365724e616d655d3d546573740d0a")  # [UserName]=Test CR LF
expect_hex("${target}/DataBase/Test/DataBase.pwd" "3030333830303333303033390d0a")  # 8 3 9
expect_hex("${target}/DataBase/Test/DataBase.lst" "")
expect_contains("${target}/readme.htm" "charset=\"utf-8\"")
expect_contains("${target}/readme.htm" "密碼 <b>839</b>")
expect_contains("${target}/varnix.desktop" "Exec=\"${target}/varnix\"")
expect_contains("${target}/varnix.desktop" "Icon=${target}/varnix.png")
foreach(file IN ITEMS varnix.png varnix.svg)
  if(NOT EXISTS "${target}/${file}")
    message(FATAL_ERROR "${file} missing")
  endif()
endforeach()

# A person worked with it: another user logged in last, Test changed the password and made a
# database, and an old help page lies there.
file(WRITE "${target}/Varnix.ini" "[UserName]=Mary\r\n")
file(WRITE "${target}/DataBase/Test/DataBase.pwd" "0061\r\n")
file(WRITE "${target}/DataBase/Test/DataBase.lst" "2003-11\r\n")
file(MAKE_DIRECTORY "${target}/DataBase/Test/2003-11")
file(WRITE "${target}/DataBase/Test/2003-11/Main.dat" "")
file(WRITE "${target}/readme.htm" "old")
lay()
expect_hex("${target}/Varnix.ini" "5b557365724e616d655d3d4d6172790d0a")
expect_hex("${target}/DataBase/Test/DataBase.pwd" "303036310d0a")
expect_hex("${target}/DataBase/Test/DataBase.lst" "323030332d31310d0a")
if(NOT EXISTS "${target}/DataBase/Test/2003-11/Main.dat")
  message(FATAL_ERROR "a database was lost")
endif()
expect_contains("${target}/readme.htm" "Varnix 使用說明")  # the program's own page is renewed

# Anything named Test in the user root is someone's: nothing is laid over a plain file either.
file(REMOVE_RECURSE "${target}/DataBase/Test")
file(WRITE "${target}/DataBase/Test" "a file of the user's")
lay()
expect_hex("${target}/DataBase/Test" "612066696c65206f662074686520757365722773")
message(STATUS "defaults laid and kept")
