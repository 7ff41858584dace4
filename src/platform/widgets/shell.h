#pragma once

#include <QString>

// Opening documents and addresses with whatever the system uses for them. Results are not
// reported: a missing handler or file is the system's business.
namespace shell {

// Opens the file at `path` with the system's handler for it. Does nothing when the file does
// not exist.
void openDocument(const QString& path);

// Opens a web or mail address ("https://...", "mailto:...").
void openAddress(const QString& address);

}  // namespace shell
