#pragma once

// Makes the console's font family, named in its forms and style sheets, resolve to
// an installed CJK font, and sets the default page font.
class ZnFontSetup
{
public:
    static const char *const kFamily;
    static const char *const kInstalledFamily;
    static void apply();
};
