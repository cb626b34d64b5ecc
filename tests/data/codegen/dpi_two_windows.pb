EnableExplicit

;{ DPI Patch (Windows) }

	; Don't forget related manifest file or SetDPIAware() API call!

	Global.f DPIXScale = 1.0, DPIYScale = 1.0
	Procedure InitScaleDPI()
		Protected lpx, lpy, DC = GetDC_(#Null)
		If DC
			lpx = GetDeviceCaps_(DC, #LOGPIXELSX) : lpy = GetDeviceCaps_(DC, #LOGPIXELSY)
			If lpx : DPIXScale = lpx / 96.0 : EndIf
			If lpy : DPIYScale = lpy / 96.0 : EndIf
			ReleaseDC_(#Null, DC)
		EndIf
	EndProcedure
	InitScaleDPI()
	Macro ScaleX (x) : 	((x) * DPIXScale) :	EndMacro
	Macro ScaleY (y) :	((y) * DPIYScale) :	EndMacro

	Define DPIy1 = ScaleY(200) : Runtime DPIy1
	Define DPIx1 = ScaleX(300) : Runtime DPIx1
	Define DPIx2 = ScaleX(50) : Runtime DPIx2
	Define DPIy2 = ScaleY(4) : Runtime DPIy2
	Define DPIy3 = ScaleY(10) : Runtime DPIy3
	Define DPIx3 = ScaleX(7) : Runtime DPIx3

;}

;{ Dialogs XML }

; Generated with Boxwright [1.0.1.8], 2025/01/31 17:05:09
Global DialogsXML$ = #Empty$ +
	"<dialogs>" +
	"	<window name='one' height='DPIy1' width='DPIx1' minwidth='auto'>" +
	"		<vbox width='DPIx2' spacing='DPIy2'/>" +
	"	</window>" +
	"	<window name='two' margin='DPIy3'>" +
	"		<trackbar name='t' width='DPIx3' min='1'/>" +
	"	</window>" +
	"</dialogs>"

;}

;{ Dialogs UI }

	Global dlg_one = CreateDialog(#PB_Any)
	Global one

	Global dlg_two = CreateDialog(#PB_Any)
	Global two


	;{ Callbacks: one }

		; Event handlers here

	;}

	;{ Callbacks: two }

		; Event handlers here

	;}


	Procedure InitDialogs()
		Protected DialogsXML = ParseXML(#PB_Any, DialogsXML$)

		; Open dialogs, enum controls, bind events, customize
		If OpenXMLDialog(dlg_one, DialogsXML, "one")
			one = DialogWindow(dlg_one)

			RefreshDialog(dlg_one)
		EndIf
		If OpenXMLDialog(dlg_two, DialogsXML, "two")
			two = DialogWindow(dlg_two)

			RefreshDialog(dlg_two)
		EndIf

		; Cls
		If IsXML(DialogsXML): FreeXML(DialogsXML): EndIf
		DialogsXML$ = #Empty$
	EndProcedure

;}

