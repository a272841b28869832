#pragma once

// Start-up steps of the console, in the order main runs them.

// Keeps a copy of the command line for getOption().
void saveArgs(int argc, char **argv);
// The argument after the exact option name; "" when that is missing or is itself an
// option; null when the option is absent.
const char *getOption(const char *name);

// Start-up keys of config.ini: board type, media folder, talk-log database port.
void loadStartupSettings();
void loadStyleSheet();
void installTranslator();

// Login dialog or, with -serverip, -user and -password, a direct login.
// 0 when logged in, -1 otherwise. maxFlag takes the -max option.
int runLogin(int *maxFlag);

// The whole program after the application object exists; returns the exit code.
int runConsole();
