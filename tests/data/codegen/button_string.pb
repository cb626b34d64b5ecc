EnableExplicit

;{ Dialogs XML }

; Generated with Boxwright [1.0.1.8], 2025/01/31 17:05:09
Global DialogsXML$ = #Empty$ +
	"<dialogs>" +
	"	<window name='main' text='Main' flags='#PB_Window_SystemMenu'>" +
	"		<vbox>" +
	"			<button name='ok' text='OK'/>" +
	"			<string name='name1' text='x'/>" +
	"		</vbox>" +
	"	</window>" +
	"</dialogs>"

;}

;{ Dialogs UI }

	Global dlg_main = CreateDialog(#PB_Any)
	Global main
	Global name1, ok


	;{ Callbacks: main }

		; [string]        
		Procedure ecb_name1()
			Select EventType()
				Case #PB_EventType_Change: 
					Debug "name1: Change"
				Case #PB_EventType_Focus: 
					Debug "name1: Focus"
				Case #PB_EventType_LostFocus: 
					Debug "name1: LostFocus"
				Default: 
					Debug "name1: Event " + EventType()
			EndSelect
		EndProcedure

		; [button]        
		Procedure ecb_ok()
			Debug "ok: Event " + EventType()
		EndProcedure

	;}


	Procedure InitDialogs()
		Protected DialogsXML = ParseXML(#PB_Any, DialogsXML$)

		; Open dialogs, enum controls, bind events, customize
		If OpenXMLDialog(dlg_main, DialogsXML, "main")
			main = DialogWindow(dlg_main)

			name1 = DialogGadget(dlg_main, "name1")
			ok = DialogGadget(dlg_main, "ok")

			BindGadgetEvent(name1, @ecb_name1())
			BindGadgetEvent(ok, @ecb_ok())

			RefreshDialog(dlg_main)
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
