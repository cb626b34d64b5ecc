EnableExplicit

;{ Runtime constants and procedures }

	#WinLogin = 1 : Runtime #WinLogin
	#GadUser = 2 : Runtime #GadUser
	#GadPassword = 3 : Runtime #GadPassword
	#GadSignIn = 4 : Runtime #GadSignIn

	Runtime Procedure CheckInput()
	EndProcedure

	Runtime Procedure OnSignIn()
	EndProcedure

	Runtime Procedure OnCancel()
	EndProcedure

;}

;{ Dialogs XML }

; Generated with Boxwright [1.0.1.8], 2025/01/31 17:05:09
Global DialogsXML$ = #Empty$ +
	"<dialogs>" +
	"	<window name='login' id='#WinLogin' text='Sign in' flags='#PB_Window_SystemMenu | #PB_Window_ScreenCentered' minwidth='260'>" +
	"		<vbox name='rows' spacing='6'>" +
	"			<gridbox name='fields' columns='2'>" +
	"				<text name='userlabel' text='User:'/>" +
	"				<string name='user' id='#GadUser' onevent='CheckInput()'/>" +
	"				<text name='passlabel' text='Password:'/>" +
	"				<string name='password' id='#GadPassword' flags='#PB_String_Password' onevent='CheckInput()'/>" +
	"			</gridbox>" +
	"			<hbox name='buttons' align='right'>" +
	"				<button name='signin' id='#GadSignIn' width='80' text='Sign in' onevent='OnSignIn()'/>" +
	"				<button name='cancel' id='#PB_Any' width='80' text='Cancel' onevent='OnCancel()'/>" +
	"			</hbox>" +
	"		</vbox>" +
	"	</window>" +
	"</dialogs>"

;}

;{ Dialogs UI }

	Global dlg_login = CreateDialog(#PB_Any)
	Global login


	;{ Callbacks: login }

		; Event handlers here

	;}


	Procedure InitDialogs()
		Protected DialogsXML = ParseXML(#PB_Any, DialogsXML$)

		; Open dialogs, enum controls, bind events, customize
		If OpenXMLDialog(dlg_login, DialogsXML, "login")
			login = DialogWindow(dlg_login)

			RefreshDialog(dlg_login)
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
