' Asks QMZ4 to erase the contents of the Recycle Bin.
'
'   cscript recycle_bin.vbs
'
' QMZ4 lists the Recycle Bin awaiting your confirmation (with the Autorun setting,
' erasing starts at once). COM starts QMZ4 when it is not running.
' The exit code is 0 when QMZ4 took the request, else the COM error number.
Option Explicit
On Error Resume Next

Dim qmz
Set qmz = CreateObject("QMZ4.QMZ4MainAuto")
If Err.Number <> 0 Then
    WScript.Echo "QMZ4 cannot be reached (error " & Err.Number & ")"
    WScript.Quit Err.Number
End If
qmz.DoRecycleBin
If Err.Number <> 0 Then
    WScript.Echo "QMZ4 refused the request (error " & Err.Number & ")"
End If
WScript.Quit Err.Number
