# The symbol icons of the style module come from Tabler Icons (MIT), pinned by version and lock file in
# third_party/tabler-icons. The package is installed with `npm ci` into the build folder when it is
# not there yet or the lock file has changed since it was installed. Only the icons that the symbol
# table of src/ui/style/SymbolIcons.cpp names are embedded, in the resource prefix /symbols (as in
# ":/symbols/outline/volume.svg"): that table is the one list, read here with a regular expression.

set(_tabler_source ${CMAKE_SOURCE_DIR}/third_party/tabler-icons)
set(_tabler_install ${CMAKE_BINARY_DIR}/third_party/tabler-icons)
set(_tabler_package ${_tabler_install}/node_modules/@tabler/icons)
set(_symbol_table ${CMAKE_SOURCE_DIR}/src/ui/style/SymbolIcons.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${_tabler_source}/package.json ${_tabler_source}/package-lock.json ${_symbol_table})

# A stamp written after a successful install holds the hash of the lock file it installed; another
# hash means the pin moved, and no stamp means no install finished.
set(_tabler_stamp ${_tabler_install}/installed-lock.sha256)
file(SHA256 ${_tabler_source}/package-lock.json _tabler_wanted)
set(_tabler_installed "")
if(EXISTS ${_tabler_stamp} AND EXISTS ${_tabler_package}/package.json)
  file(READ ${_tabler_stamp} _tabler_installed)
endif()

if(NOT _tabler_installed STREQUAL _tabler_wanted)
  find_program(NPM_PROGRAM npm)
  if(NOT NPM_PROGRAM)
    message(FATAL_ERROR "npm is needed to install the symbol icons (scripts/deps.sh installs it)")
  endif()
  message(STATUS "Installing the symbol icons with npm ci into ${_tabler_install}")
  file(REMOVE_RECURSE ${_tabler_install})
  file(MAKE_DIRECTORY ${_tabler_install})
  file(COPY_FILE ${_tabler_source}/package.json ${_tabler_install}/package.json)
  file(COPY_FILE ${_tabler_source}/package-lock.json ${_tabler_install}/package-lock.json)
  execute_process(
    COMMAND ${NPM_PROGRAM} ci --ignore-scripts --no-audit --no-fund --loglevel=error
    WORKING_DIRECTORY ${_tabler_install}
    RESULT_VARIABLE _npm_result)
  if(NOT _npm_result EQUAL 0 OR NOT EXISTS ${_tabler_package}/package.json)
    message(FATAL_ERROR "npm ci of the symbol icons failed (${_npm_result})")
  endif()
  file(WRITE ${_tabler_stamp} "${_tabler_wanted}")
endif()

file(STRINGS ${_symbol_table} _symbol_lines REGEX "\"(outline|filled)/[a-z0-9-]+\"")
set(_symbol_icons "")
foreach(_line IN LISTS _symbol_lines)
  string(REGEX MATCHALL "\"(outline|filled)/[a-z0-9-]+\"" _matches "${_line}")
  foreach(_match IN LISTS _matches)
    string(REPLACE "\"" "" _icon "${_match}")
    list(APPEND _symbol_icons ${_icon})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES _symbol_icons)
list(SORT _symbol_icons)
if(NOT _symbol_icons)
  message(FATAL_ERROR "No icon found in the symbol table ${_symbol_table}")
endif()

set(_symbol_files "")
foreach(_icon IN LISTS _symbol_icons)
  set(_file ${_tabler_package}/icons/${_icon}.svg)
  if(NOT EXISTS ${_file})
    message(FATAL_ERROR "The symbol table names ${_icon}, which Tabler Icons does not have")
  endif()
  list(APPEND _symbol_files ${_file})
endforeach()

qt_add_resources(quellor_ui_style quellor_symbols
  PREFIX /symbols
  BASE ${_tabler_package}/icons
  FILES ${_symbol_files})
# The icons' licence travels with them.
qt_add_resources(quellor_ui_style quellor_symbols_license
  PREFIX /symbols
  BASE ${_tabler_package}
  FILES ${_tabler_package}/LICENSE)
