' Hands files and folders to QMZ4 for erasing, through its automation object.
'
'   cscript erase_files.vbs PATH [PATH ...]
'
' QMZ4 lists every path awaiting your confirmation; with the Autorun setting it starts
' erasing at once, without asking. COM starts QMZ4 when it is not running.
' The exit code is 0 when QMZ4 took the request, else the COM error number.
Option Explicit
On Error Resume Next

If WScript.Arguments.Count = 0 Then
    WScript.Echo "usage: cscript erase_files.vbs PATH [PATH ...]"
    WScript.Quit 2
End If

' All paths in one string, each in double quotes and followed by a blank, so that
' paths with blanks stay whole.
Dim paths, i
paths = ""
For i = 0 To WScript.Arguments.Count - 1
    paths = paths & Chr(34) & WScript.Arguments(i) & Chr(34) & " "
Next

Dim qmz
Set qmz = CreateObject("QMZ4.QMZ4MainAuto")
If Err.Number <> 0 Then
    WScript.Echo "QMZ4 cannot be reached (error " & Err.Number & ")"
    WScript.Quit Err.Number
End If
qmz.DoFilesAndFolders paths
If Err.Number <> 0 Then
    WScript.Echo "QMZ4 refused the request (error " & Err.Number & ")"
End If
WScript.Quit Err.Number
