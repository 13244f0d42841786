# One ctest test per GoogleTest suite instead of one per test: each process start costs the test
# program's Qt and sanitizer start-up, and the suites' tests already run together without harm.
#
# xov_testsuiten(ZIEL PRAEFIX AUSWAHL UMGEBUNG FRIST) registers, at ctest time, a test
# "<PRAEFIX><Suite>" for every suite of ZIEL that has a test matching the GoogleTest filter
# AUSWAHL ("*" for all); it runs exactly those tests of the suite. UMGEBUNG is a list of
# "NAME=WERT", FRIST the timeout in seconds.
function(xov_testsuiten ziel praefix auswahl umgebung frist)
  set(datei "${CMAKE_CURRENT_BINARY_DIR}/${ziel}_${praefix}suiten.cmake")
  string(REPLACE ";" "\\;" umgebung_text "${umgebung}")
  file(WRITE "${datei}"
    "set(XOV_PROGRAMM [==[$<TARGET_FILE:${ziel}>]==])\n"
    "set(XOV_PRAEFIX [==[${praefix}]==])\n"
    "set(XOV_AUSWAHL [==[${auswahl}]==])\n"
    "set(XOV_UMGEBUNG [==[${umgebung_text}]==])\n"
    "set(XOV_FRIST ${frist})\n"
    "set(XOV_CMAKE [==[${CMAKE_COMMAND}]==])\n"
    "include([==[${CMAKE_SOURCE_DIR}/cmake/TestsuitenAnmelden.cmake]==])\n")
  file(GENERATE OUTPUT "${datei}.gen" INPUT "${datei}")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${datei}.gen")
endfunction()
