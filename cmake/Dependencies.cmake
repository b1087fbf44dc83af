# Every dependency is a Debian package, found with CMake's modules or pkg-config.
find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)
find_package(Boost 1.74 REQUIRED)
find_package(GTest REQUIRED)
find_package(Iconv REQUIRED)
find_package(CURL REQUIRED)
find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
find_package(TIFF REQUIRED)
find_package(ZLIB REQUIRED)
pkg_check_modules(JSONCPP REQUIRED IMPORTED_TARGET jsoncpp)
pkg_check_modules(LOG4CPLUS REQUIRED IMPORTED_TARGET log4cplus)
pkg_check_modules(CRYPTOPP REQUIRED IMPORTED_TARGET libcrypto++)
# The module links Crypto++'s static archive when the package ships one: only the
# digest and encoder objects it calls are taken in, instead of a 5 MB library whose
# loading and start-up every program using the module would pay for.
find_library(CRYPTOPP_ARCHIVE NAMES libcrypto++.a)
# trellan-host takes its listening sockets from systemd when socket-activated.
pkg_check_modules(SYSTEMD REQUIRED IMPORTED_TARGET libsystemd)
pkg_check_modules(CAIRO REQUIRED IMPORTED_TARGET cairo)
pkg_check_modules(HEIF REQUIRED IMPORTED_TARGET libheif)
pkg_check_modules(WEBP REQUIRED IMPORTED_TARGET libwebp)
pkg_check_modules(PANGOCAIRO REQUIRED IMPORTED_TARGET pangocairo)

# The name a shared library is loaded by (libfoo.so.N) from its development link.
function(trellan_soname variable library)
  file(REAL_PATH ${library} file)
  get_filename_component(file ${file} NAME)
  string(REGEX REPLACE "^(.*\\.so\\.[0-9]+).*$" "\\1" soname ${file})
  set(${variable} ${soname} PARENT_SCOPE)
endfunction()
