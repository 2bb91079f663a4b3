@echo off
rem Runs the cleaner's Windows tests on this machine, one program after
rem another, each with its GoogleTest XML in the results folder. Exit code
rem 0 only when nothing failed. What it touches: README-selftest.txt.
rem
rem   run-selftest.cmd                      everything that stays in folders
rem                                         and keys of its own
rem   run-selftest.cmd /reset-this-profile  also the tests that clean THIS
rem                                         user's profile and registry
setlocal EnableExtensions EnableDelayedExpansion
set "bundle=%~dp0"
set "reset="
if "%~1"=="" goto :read
if /i "%~1"=="/reset-this-profile" set "reset=1"
if defined reset goto :read
echo Usage: run-selftest.cmd [/reset-this-profile]
exit /b 2
:read

set "why=they clean this user's profile and registry: run-selftest.cmd /reset-this-profile runs them"
if not defined reset goto :banner_done
rem The cleaner removes the machine's registry tree too, which only an
rem administrator may: asked of the registry itself.
reg add "HKLM\Software\VelmoraSelfTestProbe" /f >nul 2>&1
if errorlevel 1 goto :not_elevated
reg delete "HKLM\Software\VelmoraSelfTestProbe" /f >nul 2>&1
echo.
echo THIS RUN DELETES, FOR THE USER %USERNAME% ON %COMPUTERNAME%:
echo   THE FOLDERS VELMORA AND VL-LW-TEMP IN %LOCALAPPDATA%,
echo   VELMORA AND INSTALL.VL IN %APPDATA%, VELMORA BESIDE AND ABOVE THAT FOLDER,
echo   AND LUMETRA AND QUILLO IN THE DOCUMENTS FOLDER, WITH ALL THEY HOLD;
echo   THE REGISTRY TREES HKEY_CURRENT_USER\SOFTWARE\VELMORA AND
echo   HKEY_LOCAL_MACHINE\SOFTWARE\VELMORA, WHOLE.
echo IT ALSO INSTALLS AND REMOVES TEST SERVICES WHOSE NAMES HOLD CREWLINK.
echo.
goto :banner_done
:not_elevated
echo /reset-this-profile needs an elevated command prompt: the cleaner also removes
echo the machine's registry tree, which only an administrator may. Nothing of this
echo profile is cleaned in this run.
set "reset="
set "why=they clean this user's profile and the machine's registry tree: run-selftest.cmd /reset-this-profile runs them from an elevated command prompt"
:banner_done

rem Beside the bundle, or in the temporary folder where that cannot be written.
set "results=%bundle%results"
if exist "%results%" rd /s /q "%results%"
md "%results%" 2>nul
if exist "%results%\" goto :results_made
set "results=%TEMP%\VelmoraRegistryCleaner-selftest-results"
if exist "%results%" rd /s /q "%results%"
md "%results%" 2>nul
if exist "%results%\" goto :results_made
echo Cannot make a results folder, beside the bundle or in %TEMP%.
exit /b 2
:results_made
echo Results: %results%

set "CLEANER_SELFTEST=1"
if defined reset set "CLEANER_RESET_THIS_PROFILE=1"
set /a passed=0, failed=0, skipped=0
for %%p in (win_framework_tests win_folder_tree_tests win_version_file_tests win_dialog_tests e2e_program_file_tests) do call :run %%p
for %%p in (win_registry_tests win_registry32_tests win_developer_dialog_tests e2e_registry_run_tests e2e_silent_run_tests e2e_reregistration_tests) do call :run %%p profile

echo.
echo %passed% passed, %failed% failed, %skipped% skipped
if %failed% gtr 0 exit /b 1
exit /b 0

rem run PROGRAM [profile]: one line for the program, and one for each test
rem it left out, with its reason.
:run
set "program=%bundle%%~1.exe"
set "out=%results%\%~1.txt"
if exist "%program%" goto :found
echo FAILED   %~1: not in the bundle
set /a failed+=1
exit /b 0
:found
if not "%~2"=="profile" goto :start
if not defined reset goto :left_out
:start
"%program%" "--gtest_output=xml:%results%\%~1.xml" >"%out%" 2>&1
set "code=%errorlevel%"
set "p="
set "f="
set "s="
for /f "usebackq tokens=1-8 delims=:, " %%a in ("%out%") do (
    if "%%a %%b"=="selftest counts" (
        set "p=%%c"
        set "f=%%e"
        set "s=%%g"
    )
)
if defined p goto :counted
echo FAILED   %~1: ended with exit code %code% before it counted its tests; see %~1.txt
set /a failed+=1
exit /b 0
:counted
set /a passed+=p, failed+=f, skipped+=s
set "verdict=passed  "
if not "%f%"=="0" set "verdict=FAILED  "
if not "%code%"=="0" set "verdict=FAILED  "
echo %verdict% %~1: %p% passed, %f% failed, %s% skipped
for /f "usebackq tokens=1,2* delims= " %%a in ("%out%") do (
    if "%%a %%b"=="selftest skipped:" echo            skipped: %%c
)
if "%code%"=="0" exit /b 0
if not "%f%"=="0" exit /b 0
echo            and it ended with exit code %code%; see %~1.txt
set /a failed+=1
exit /b 0

rem A program that cleans this user's profile: counted, not run.
:left_out
"%program%" --selftest_count_only >"%out%" 2>&1
set "n=0"
for /f "usebackq tokens=1-8 delims=:, " %%a in ("%out%") do (
    if "%%a %%b"=="selftest counts" set "n=%%g"
)
set /a skipped+=n
echo skipped  %~1: %n% tests left out: %why%
exit /b 0
