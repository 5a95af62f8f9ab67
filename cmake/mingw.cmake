# Shared part of the MinGW-w64 toolchain files: set TOOLCHAIN_PREFIX and CMAKE_SYSTEM_PROCESSOR,
# then include this. Test executables run through Wine.
set(CMAKE_SYSTEM_NAME Windows)

# The -posix variants: the win32 thread model lacks std::thread/std::mutex that GoogleTest needs.
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_AR           ${TOOLCHAIN_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${TOOLCHAIN_PREFIX}-ranlib CACHE FILEPATH "")
set(CMAKE_STRIP        ${TOOLCHAIN_PREFIX}-strip CACHE FILEPATH "")
set(CMAKE_OBJCOPY      ${TOOLCHAIN_PREFIX}-objcopy CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static runtime: no libgcc_s, libstdc++ or libwinpthread DLLs beside the programs.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh")
set(ZLIB_USE_STATIC_LIBS ON)
