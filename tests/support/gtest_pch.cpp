// Compiles the precompiled header of the test programs (see tests/CMakeLists.txt).
