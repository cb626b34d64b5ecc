EnableExplicit

;{ Dialogs XML }

; Generated with Boxwright [1.0.1.8], 2025/01/31 17:05:09
Global DialogsXML$ = #Empty$ +
	"<dialogs>" +
	"	<window name='alpha' text='Alpha'>" +
	"		<hbox>" +
	"			<button name='b1' text='1'/>" +
	"			<button name='b2' text='2'/>" +
	"			<button name='b3' text='3'/>" +
	"			<button name='B4' text='4'/>" +
	"		</hbox>" +
	"	</window>" +
	"	<window name='Beta' text='Beta'>" +
	"		<text name='label' text='x'/>" +
	"	</window>" +
	"</dialogs>"

;}

;{ Dialogs UI }

	Global dlg_Beta = CreateDialog(#PB_Any)
	Global Beta
	Global label

	Global dlg_alpha = CreateDialog(#PB_Any)
	Global alpha
	Global b1, b2, b3, B4

	Global Font64 = LoadFont(#PB_Any, "Tahoma", 9)
	Global Font65 = LoadFont(#PB_Any, "Arial", 10, #PB_Font_Bold | #PB_Font_Italic)
	Global Font66 = LoadFont(#PB_Any, "Courier New", 8)


	;{ Callbacks: Beta }

		; Event handlers here

	;}

	;{ Callbacks: alpha }

		; [array]         
		Procedure ecb_OnClick()
			Select EventGadget()
				Case b1:
					Debug "b1: Event " + EventType()
				Case b2:
					Debug "b2: Event " + EventType()
				Case b3:
					Debug "b3: Event " + EventType()
				Case B4:
					Debug "B4: Event " + EventType()
			EndSelect
		EndProcedure

	;}


	Procedure InitDialogs()
		Protected DialogsXML = ParseXML(#PB_Any, DialogsXML$)
		; Default UI font
		If IsFont(Font64) : SetGadgetFont(#PB_Default, FontID(Font64)) : EndIf

		; Open dialogs, enum controls, bind events, customize
		If OpenXMLDialog(dlg_Beta, DialogsXML, "Beta")
			Beta = DialogWindow(dlg_Beta)

			label = DialogGadget(dlg_Beta, "label")

			SetGadgetColor(label, #PB_Gadget_BackColor, 16777215)
			SetGadgetColor(label, #PB_Gadget_FrontColor, $FF)
			If IsFont(Font65) : SetGadgetFont(label, FontID(Font65)) : EndIf

			RefreshDialog(dlg_Beta)
		EndIf
		If OpenXMLDialog(dlg_alpha, DialogsXML, "alpha")
			alpha = DialogWindow(dlg_alpha)

			b1 = DialogGadget(dlg_alpha, "b1")
			b2 = DialogGadget(dlg_alpha, "b2")
			b3 = DialogGadget(dlg_alpha, "b3")
			B4 = DialogGadget(dlg_alpha, "B4")

			BindGadgetEvent(b1, @ecb_OnClick())
			BindGadgetEvent(b2, @ecb_OnClick())
			BindGadgetEvent(b3, @ecb_OnClick())
			BindGadgetEvent(B4, @ecb_onclick())

			If IsFont(Font65) : SetGadgetFont(b1, FontID(Font65)) : EndIf
			GadgetToolTip(b3, ~"Say \"hi\"\ntwice")
			If IsFont(Font66) : SetGadgetFont(B4, FontID(Font66)) : EndIf

			RefreshDialog(dlg_alpha)
		EndIf

		; Cls
		If IsXML(DialogsXML): FreeXML(DialogsXML): EndIf
		DialogsXML$ = #Empty$
	EndProcedure

;}


; Main
InitDialogs()

Repeat
	Define E = WaitWindowEvent()
	Select E
		Case #PB_Event_CloseWindow: break
	EndSelect
Forever
