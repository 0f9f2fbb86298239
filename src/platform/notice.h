#pragma once
// A blocking notice for start-up problems. Always prints "Zorbit: <text>" on stderr; shows a
// dialog (zenity, kdialog or xmessage) only when a display is there and one of them is installed.
void notice_show(const char* text, const char* caption);
