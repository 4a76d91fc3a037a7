#pragma once

// What the window program sets up before its windows open: Qt's own dialogs and buttons speak
// Japanese whatever the desktop's language. Returns false when Qt's Japanese texts are missing.
bool setUpApplication();
