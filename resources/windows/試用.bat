@echo off
rem velmora を試すための見本を作り、velmora をそのフォルダで開きます。
rem CAD システムの代わりにこのフォルダの道具（ug_edit_part_names.exe、ugpc.exe、libufun.dll）を使います。
rem 本物の CAD システムではありません。作るパートファイルも試用のためだけのものです。
setlocal
cd /d "%~dp0"
set "UGII_ROOT_DIR=%~dp0"
rem 見本は毎回作り直します。
make-assembly.exe --parts 40 "sample" >nul
if errorlevel 1 (
  echo 見本のアセンブリを作れませんでした。
  pause
  exit /b 1
)
echo 見本のアセンブリ: %~dp0sample\TopAssy.prt
echo velmora の「参照(C)...」で TopAssy.prt を選ぶと一覧が出ます。
cd /d "%~dp0sample"
start "" "%~dp0..\velmora.exe"
