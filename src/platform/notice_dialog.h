#pragma once
// A blocking dialog through zenity, kdialog or xmessage, only when a display is there; headless
// runs (tests, CI, the dummy video driver) never wait for someone to click.
void notice_dialog_show(const char* text, const char* caption);
