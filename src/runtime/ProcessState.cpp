#include "runtime/ProcessState.h"

short BackupStep = 0;
std::wstring BackupLocation;
