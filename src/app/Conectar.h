#pragma once

/// Opens the program's database (ferlon.mdb in the program's directory) as the shared connection.
/// On failure tells the operator with a critical message and returns false.
bool Conectar();
