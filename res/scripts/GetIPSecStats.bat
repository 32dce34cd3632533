@echo off
rem Leaves the IPsec byte totals in tmp.txt beside this script for the Connectivity Info.
rem window, as the two lines "Bytes Sent In Tunnels : <n>" and "Bytes Received In Tunnels : <n>".
rem The window starts a run every second and reads tmp.txt whenever it likes, so the lines
rem go to a file of this run's own first and then replace tmp.txt in one step. When the tool
rem gives no totals (tool missing, service stopped, no rights) tmp.txt is left as it is.
setlocal EnableExtensions DisableDelayedExpansion
pushd "%~dp0"

rem A name of this run's own: time of day to the hundredth of a second, and a random number.
set "RUN=%TIME: =0%"
set "RUN=%RUN::=%"
set "RUN=%RUN:.=%"
set "RUN=%RUN:,=%"
set "RUN=%RUN%_%RANDOM%"
set "RAW=tmp_%RUN%.raw"
set "NEW=tmp_%RUN%.new"

rem Windows XP has ipseccmd (Support Tools); Server 2003, XP x64 and Vista have "netsh ipsec".
ver | find " 5.1." >nul
if errorlevel 1 (
    netsh ipsec dynamic show stats >"%RAW%" 2>nul
) else (
    ipseccmd show stats >"%RAW%" 2>nul
)

rem Both tools print "<label> : <value>", with or without padding before the colon; the
rem value is the word after the label. Labels are matched without regard to case and the
rem last matching line wins.
set "SENT="
set "RECEIVED="
if exist "%RAW%" for /f "usebackq tokens=1-5 delims=: " %%a in ("%RAW%") do (
    if /i "%%a %%b %%c %%d"=="Bytes Sent In Tunnels" set "SENT=%%e"
    if /i "%%a %%b %%c %%d"=="Bytes Received In Tunnels" set "RECEIVED=%%e"
)

if defined SENT goto :write
if defined RECEIVED goto :write
goto :cleanup

:write
rem Expanded late, so that whatever the tool printed is written as plain text.
setlocal EnableDelayedExpansion
type nul >"%NEW%"
if defined SENT >>"%NEW%" echo Bytes Sent In Tunnels : !SENT!
if defined RECEIVED >>"%NEW%" echo Bytes Received In Tunnels : !RECEIVED!
endlocal
rem Fails while the window holds tmp.txt open; the next run tries again.
move /y "%NEW%" tmp.txt >nul 2>&1

:cleanup
if exist "%NEW%" del "%NEW%" >nul 2>&1
if exist "%RAW%" del "%RAW%" >nul 2>&1
popd
endlocal
exit /b 0
