#pragma once

/// Tells the operator that data could not be read from the database (a damaged file, most often), so that a
/// list shown empty or cut short is never taken for the whole of it. Every screen that reads rows says so
/// with this one message and stays usable.
void informReadFailure();
