// The toolkit-free core must not reach for Qt.
#include <QString>
