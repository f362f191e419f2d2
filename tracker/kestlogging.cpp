#include "kestlogging_p.h"

Q_LOGGING_CATEGORY(lcKestTracker, "qkest.tracker")
Q_LOGGING_CATEGORY(lcKestRenderer, "qkest.renderer")
Q_LOGGING_CATEGORY(lcKestSource, "qkest.source")
Q_LOGGING_CATEGORY(lcKestPlaylist, "qkest.playlist")
