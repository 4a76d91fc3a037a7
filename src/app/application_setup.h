#pragma once

// What the window program sets up before its windows open: Qt's own dialogs and buttons speak
// Japanese whatever the desktop's language, and a write past the file size limit fails with a
// message instead of ending the program. Returns false when Qt's Japanese texts are missing.
bool setUpApplication();
