#pragma once
// The restore engine's entry: called by the restore wizard once the marker file has
// passed its checks; copies the backup set back and moves the wizard to the finish.

class clsRestore {
public:
    void Restore();
};
