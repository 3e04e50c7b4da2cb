// TEMPORARY stand-in for the badges until the real ones land.
#include "game/my_app.h"

String MyApp::BadgeID(int) {
    return String();
}
String MyApp::BadgeName(int) {
    return String();
}
String MyApp::BadgeDetail(int) {
    return String();
}
int MyApp::BadgesBox() {
    return 0;
}
int MyApp::ShowBadges() {
    return 0;
}
int MyApp::GC_PostScore(int, int) {
    return 0;
}
int MyApp::GC_Badges() {
    return 0;
}
