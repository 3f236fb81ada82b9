#pragma once
// What the program sets up once for all its windows and dialogs.

class QApplication;

namespace trelvan {

// The program's name, the font faces its layout names, and Qt's own Simplified
// Chinese texts for the standard dialogs (OK and Cancel, Yes and No, the file
// dialog), whatever the desktop's language. Returns whether those texts were found;
// without them the standard dialogs stay in English and everything else works.
bool prepareApplication(QApplication& app);

}  // namespace trelvan
