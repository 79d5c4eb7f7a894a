#pragma once

/// The "Ayuda" button of the main menu and of the list screens: opens the help document named by
/// parameter row 6, a file in the program's directory, with the desktop's associated program.
/// Does nothing visible when no document is named.
class HelpDocument
{
public:
    static void open();
};
