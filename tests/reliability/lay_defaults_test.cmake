# The files an installation ships are laid only where missing: a fresh installation gets them
# byte for byte, a second laying leaves a person's settings, users and databases alone.
#   cmake -DVARNIX_SOURCE=<source tree> -DWORK=<scratch folder> -P lay_defaults_test.cmake
cmake_minimum_required(VERSION 3.25)
set(target "${WORK}/install")
file(REMOVE_RECURSE "${WORK}")

# Lays the defaults, then checks pairs of a file under the installation and its bytes in hex.
function(lay_and_expect)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DVARNIX_DEFAULTS=${VARNIX_SOURCE}/resources/defaults
                          -DVARNIX_TARGET=${target} -P ${VARNIX_SOURCE}/cmake/LayDefaults.cmake
                  RESULT_VARIABLE result OUTPUT_QUIET)
  while(ARGN AND result EQUAL 0)
    list(POP_FRONT ARGN path expected)
    file(READ "${target}/${path}" actual HEX)
    if(NOT actual STREQUAL expected)
      message(FATAL_ERROR "${path}: expected ${expected}, found ${actual}")
    endif()
  endwhile()
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "laying the defaults failed: ${result}")
  endif()
endfunction()

lay_and_expect(Varnix.ini "5b557365724e616d655d3d546573740d0a"          # [UserName]=Test CR LF
               DataBase/Test/DataBase.pwd "3030333830303333303033390d0a"  # 8 3 9
               DataBase/Test/DataBase.lst "")
# Another user logged in last, Test changed the password and made a database.
file(WRITE "${target}/Varnix.ini" "[UserName]=Mary\r\n")
file(WRITE "${target}/DataBase/Test/DataBase.pwd" "0061\r\n")
file(WRITE "${target}/DataBase/Test/DataBase.lst" "2003-11\r\n")
file(WRITE "${target}/DataBase/Test/2003-11/Main.dat" "kept")
lay_and_expect(Varnix.ini "5b557365724e616d655d3d4d6172790d0a"
               DataBase/Test/DataBase.pwd "303036310d0a"
               DataBase/Test/DataBase.lst "323030332d31310d0a"
               DataBase/Test/2003-11/Main.dat "6b657074")
# Anything named Test in the user root is someone's: nothing is laid over a plain file either.
file(REMOVE_RECURSE "${target}/DataBase/Test")
file(WRITE "${target}/DataBase/Test" "mine")
lay_and_expect(DataBase/Test "6d696e65")
