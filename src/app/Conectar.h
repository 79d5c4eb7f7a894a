#pragma once

#include <QLockFile>

#include <memory>

/// Opens the program's database (ferlon.mdb in the program's directory) as the shared connection.
/// On failure tells the operator with a critical message and returns false.
bool Conectar();
/// Closes the shared connection. The program calls it before it ends, while the cipher's library is
/// still whole, so that nothing is left to a static destructor.
void closeConnection();

/// This program's claim on its data folder, so that two programs never work on one database.
struct DataFolderClaim
{
    std::unique_ptr<QLockFile> lock; ///< the lock file, held while the claim lives; null when not taken
    bool heldElsewhere = false;      ///< another running program holds the folder
};
/// Claims the data folder with a lock file there. A lock left by a program that ended without releasing
/// it (killed, crashed) is taken over. When the folder cannot hold a lock file at all, the program runs
/// unclaimed rather than not at all.
[[nodiscard]] DataFolderClaim claimDataFolder();
