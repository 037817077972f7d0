// Stand-ins for the menus and the saved progress until they land: the menu
// screens and boxes run nothing, and nothing is saved or loaded.
#include "game/app.h"

int c_MyApp::p_Menu() { return 0; }
int c_MyApp::p_GameSelect() { return 0; }
int c_MyApp::p_OptionBox() { return 0; }
int c_MyApp::p_PauseMenu() { return 0; }
int c_MyApp::p_OuyaQuit() { return 0; }
int c_MyApp::p_CreditBox() { return 0; }
String c_MyApp::p_BadgeID(int) { return String(); }
String c_MyApp::p_BadgeName(int) { return String(); }
String c_MyApp::p_BadgeDetail(int) { return String(); }
int c_MyApp::p_ShowBadges() { return 0; }
int c_MyApp::p_BadgesBox() { return 0; }
