' Asks QMZ4 to erase the free space of volumes: everything deleted earlier becomes
' unrecoverable; files that exist stay as they are.
'
'   cscript free_space.vbs ROOT [ROOT ...]       for example: cscript free_space.vbs C:\
'
' Each root gets one row awaiting your confirmation in QMZ4 (with the Autorun setting,
' erasing starts at once). COM starts QMZ4 when it is not running.
' The exit code is 0 when QMZ4 took the request, else the COM error number.
Option Explicit
On Error Resume Next

If WScript.Arguments.Count = 0 Then
    WScript.Echo "usage: cscript free_space.vbs ROOT [ROOT ...]"
    WScript.Quit 2
End If

Dim roots, i
roots = ""
For i = 0 To WScript.Arguments.Count - 1
    roots = roots & Chr(34) & WScript.Arguments(i) & Chr(34) & " "
Next

Dim qmz
Set qmz = CreateObject("QMZ4.QMZ4MainAuto")
If Err.Number <> 0 Then
    WScript.Echo "QMZ4 cannot be reached (error " & Err.Number & ")"
    WScript.Quit Err.Number
End If
qmz.DoFreeSpace roots
If Err.Number <> 0 Then
    WScript.Echo "QMZ4 refused the request (error " & Err.Number & ")"
End If
WScript.Quit Err.Number
