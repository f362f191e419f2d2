#ifndef KESTCORELOGGING_P_H
#define KESTCORELOGGING_P_H

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcKestCore)

#endif
