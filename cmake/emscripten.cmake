# The web page's compilers: Debian's emscripten, whose own toolchain file is
# found from the package's file list rather than assumed at one path. Its JS
# optimiser (run at link time) loads acorn and friends from Debian's node
# modules folder, which node only searches when NODE_PATH names it; that
# folder is found the same way, from node-acorn's file list.
execute_process(COMMAND dpkg -L emscripten OUTPUT_VARIABLE _files ERROR_QUIET)
string(REGEX MATCH "[^\n]*/Modules/Platform/Emscripten\\.cmake" _toolchain "${_files}")
if(NOT _toolchain OR NOT EXISTS "${_toolchain}")
    message(FATAL_ERROR "Debian's emscripten is not installed: run tools/install-deps")
endif()
include("${_toolchain}")

execute_process(COMMAND dpkg -L node-acorn OUTPUT_VARIABLE _files ERROR_QUIET)
string(REGEX MATCH "[^\n]*/acorn/package\\.json" _acorn "${_files}")
string(REGEX REPLACE "/acorn/package\\.json$" "" LUMIVANE_NODE_PATH "${_acorn}")
if(NOT LUMIVANE_NODE_PATH)
    message(FATAL_ERROR "Debian's node-acorn is not installed (emscripten needs it): run tools/install-deps")
endif()
set(CMAKE_C_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${LUMIVANE_NODE_PATH})
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=${LUMIVANE_NODE_PATH})

# The call check lists the page's objects' symbols, which only a wasm-aware
# nm reads: Emscripten's own, not binutils' that CMake would otherwise find.
find_program(LUMIVANE_EMNM emnm REQUIRED)
set(CMAKE_NM "${LUMIVANE_EMNM}" CACHE FILEPATH "Emscripten's nm, which reads wasm objects" FORCE)
