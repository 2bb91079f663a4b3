# The 32-bit Windows program, its Win32 tests (run under Wine by ctest) and
# the benchmarks.
enable_language(RC)

set(CLEANER_WIN32_DEFINITIONS UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
set(CLEANER_WIN32_LIBRARIES shell32 shlwapi advapi32 user32 gdi32 comctl32 ole32)
target_compile_definitions(cleaner_rules PUBLIC ${CLEANER_WIN32_DEFINITIONS})

if(MINGW)
  # One self-contained file: no compiler runtime DLLs beside the program.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # Room for deep folder trees, each level of which holds a listing.
  add_link_options(-Wl,--stack,8388608)
  # What today's Windows expects of a program file: loaded anywhere
  # (dynamic base), no code run from data (NX), and at home on remote
  # desktop and lab hosts (Terminal Server aware). The stack protector too.
  add_link_options(-Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware -fstack-protector-strong)
  add_compile_options(-fstack-protector-strong)
  target_compile_options(cleaner_rules PRIVATE -fstack-protector-strong)
  # Reproducible: no link time stamp, and no build folder in the program.
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
  target_compile_options(cleaner_rules PRIVATE -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.)
elseif(MSVC)
  add_link_options(/STACK:8388608 /Brepro /DYNAMICBASE /NXCOMPAT /TSAWARE)
  add_compile_options(/Brepro)
endif()

add_library(cleaner_framework STATIC
  src/framework/Accessibility.cpp
  src/framework/Dialog.cpp
  src/framework/Clipboard.cpp
  src/framework/DirectoryListing.cpp
  src/framework/DllSearch.cpp
  src/framework/FreshInput.cpp
  src/framework/Dpi.cpp
  src/framework/MessageBox.cpp
  src/framework/NtFile.cpp
  src/framework/Registry.cpp
  src/framework/RestartManager.cpp
  src/framework/TaskbarProgress.cpp
  src/framework/Wnd.cpp
  src/framework/WinApp.cpp
)
target_include_directories(cleaner_framework PUBLIC src)
target_link_libraries(cleaner_framework PUBLIC ${CLEANER_WIN32_LIBRARIES})
target_compile_definitions(cleaner_framework PUBLIC ${CLEANER_WIN32_DEFINITIONS})
cleaner_warnings(cleaner_framework)

# Everything of the program but its global object and entry point, so that
# tests can build application objects of their own.
add_library(cleaner_core STATIC
  src/app/CleanerApp.cpp
  src/app/CursorPlacement.cpp
  src/app/Listing.cpp
  src/app/ReRegistration.cpp
  src/app/ResultDialogs.cpp
  src/app/RunReport.cpp
  src/clean/ApiPath.cpp
  src/clean/CleanProfile.cpp
  src/clean/EntryDeletion.cpp
  src/clean/FolderTree.cpp
  src/clean/RegistryKey.cpp
  src/clean/TreeRemoval.cpp
  src/selection/MakerTreeWalks.cpp
  src/selection/VersionFile.cpp
  src/ui/CleanDlg.cpp
  src/ui/NumberFormat.cpp
  src/ui/ColorStatic.cpp
  src/ui/DeveloperSettings.cpp
  src/ui/DropStatic.cpp
  src/ui/ProgressWindow.cpp
  src/ui/ReportText.cpp
  src/ui/Services.cpp
  src/ui/SetRegistryDlg.cpp
  src/ui/SettingsFile.cpp
)
target_link_libraries(cleaner_core PUBLIC cleaner_rules cleaner_framework)
cleaner_warnings(cleaner_core)

add_library(cleaner_resources OBJECT src/res/Cleaner.rc)
set(CLEANER_MANIFEST ${CMAKE_SOURCE_DIR}/src/res/Cleaner.manifest)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  # The manifest names the processor of the program and of the Common
  # Controls it loads: a 64-bit program given the x86 ones fails to start.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CLEANER_MANIFEST})
  file(READ ${CLEANER_MANIFEST} _manifest)
  string(REPLACE "processorArchitecture=\"x86\"" "processorArchitecture=\"amd64\"" _manifest "${_manifest}")
  set(CLEANER_MANIFEST ${CMAKE_BINARY_DIR}/res/Cleaner64.manifest)
  # Written only when it changed, so that the resources are not built anew
  # at every configure.
  file(CONFIGURE OUTPUT ${CLEANER_MANIFEST} CONTENT "${_manifest}" @ONLY)
  # Both resource compilers look for the files a script names in its
  # include folders too.
  target_compile_definitions(cleaner_resources PRIVATE CLEANER_MANIFEST_64)
  target_include_directories(cleaner_resources PRIVATE ${CMAKE_BINARY_DIR}/res)
endif()
# windres reports no dependencies: the files the script pulls in are named.
set_source_files_properties(src/res/Cleaner.rc PROPERTIES OBJECT_DEPENDS
  "${CLEANER_MANIFEST};${CMAKE_SOURCE_DIR}/src/res/resource.h;${CMAKE_SOURCE_DIR}/src/res/cleaner.ico;${CMAKE_SOURCE_DIR}/src/res/developer.ico")

add_executable(VelmoraRegistryCleaner WIN32
  src/app/Main.cpp
  src/framework/EntryPoint.cpp
  $<TARGET_OBJECTS:cleaner_resources>
)
target_link_libraries(VelmoraRegistryCleaner PRIVATE cleaner_core)
if(MINGW)
  target_link_options(VelmoraRegistryCleaner PRIVATE -municode -mwindows)
endif()
cleaner_warnings(VelmoraRegistryCleaner)

add_subdirectory(bench)

if(CLEANER_TESTS)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  # With Visual Studio: the same C runtime as the program's code.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  add_subdirectory(tests/win)
  add_subdirectory(tests/e2e)
endif()
