#pragma once

class QString;

// Opens a web address or a "mailto:" address with the program the system associates with it.
// Failures are not reported: the person sees that nothing opened.
void openLink(const QString& address);
