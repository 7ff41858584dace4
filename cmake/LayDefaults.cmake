# Lays what an installation ships beside the program:
#   cmake -DVARNIX_DEFAULTS=<resources/defaults> -DVARNIX_TARGET=<program folder> -P LayDefaults.cmake
# The program's own files (help page, icon, desktop entry) are brought up to date. The settings
# file and the sample user are laid only where missing: a rebuild or a new installation never
# touches a person's settings, users or books.
cmake_minimum_required(VERSION 3.25)

if(NOT VARNIX_DEFAULTS OR NOT VARNIX_TARGET)
  message(FATAL_ERROR "LayDefaults.cmake needs VARNIX_DEFAULTS and VARNIX_TARGET")
endif()
set(program "${VARNIX_DEFAULTS}/program")
set(data "${VARNIX_DEFAULTS}/data")
file(MAKE_DIRECTORY "${VARNIX_TARGET}")

foreach(name IN ITEMS readme.htm varnix.png varnix.svg)
  file(COPY_FILE "${program}/${name}" "${VARNIX_TARGET}/${name}" ONLY_IF_DIFFERENT)
endforeach()

# The desktop entry names the program and icon where they lie. VARNIX_INSTALLED_TARGET, when
# given, is the folder as the running system will see it (without a DESTDIR staging root).
if(NOT VARNIX_INSTALLED_TARGET)
  set(VARNIX_INSTALLED_TARGET "${VARNIX_TARGET}")
endif()
set(VARNIX_PROGRAM "${VARNIX_INSTALLED_TARGET}/varnix")
set(VARNIX_ICON "${VARNIX_INSTALLED_TARGET}/varnix.png")
configure_file("${program}/varnix.desktop.in" "${VARNIX_TARGET}/varnix.desktop" @ONLY)
file(CHMOD "${VARNIX_TARGET}/varnix.desktop" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
     GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# Settings: the last user who logged in. Laid once; the program rewrites it at every login.
if(NOT EXISTS "${VARNIX_TARGET}/Varnix.ini")
  file(COPY_FILE "${data}/Varnix.ini" "${VARNIX_TARGET}/Varnix.ini")
  message(STATUS "Laid: ${VARNIX_TARGET}/Varnix.ini")
endif()

# The sample user named on the login window, with the password 839 and no databases. A user is
# its folder: when a folder (or file) of that name exists, it belongs to someone already.
file(MAKE_DIRECTORY "${VARNIX_TARGET}/DataBase")
if(NOT EXISTS "${VARNIX_TARGET}/DataBase/Test")
  file(COPY "${data}/DataBase/Test" DESTINATION "${VARNIX_TARGET}/DataBase")
  message(STATUS "Laid: ${VARNIX_TARGET}/DataBase/Test")
endif()
