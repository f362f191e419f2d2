// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLEXITSTATUS_H
#define KESTCTLEXITSTATUS_H

//! What kest-ctl's exit status tells.
enum KestCtlExitStatus {
    ExitDone = 0,
    //! The component answered with an error, or the operation failed.
    ExitFailed = 1,
    ExitUsage = 2,
    ExitNoSuchComponent = 3,
    ExitNoAnswer = 4,
    //! Plus the number of the signal that ended the command.
    ExitSignalBase = 128
};

#endif
