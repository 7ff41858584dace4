#include "platform/widgets/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE names a function of the global namespace, so this one lives there too.
void loadResources() { Q_INIT_RESOURCE(varnix); }
