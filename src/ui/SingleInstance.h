#pragma once
// Each window of the program exists at most once per process: created on first
// use, then the same one is shown and hidden again until the process ends.

#include <memory>

template <class T>
class SingleInstance {
public:
    static T& Instance() {
        if (!Slot())
            Slot() = std::make_unique<T>();
        return *Slot();
    }
    static bool Loaded() { return Slot() != nullptr; }
    // Destroys the window; the next Instance() makes a fresh one (used by tests).
    static void Unload() { Slot().reset(); }

private:
    static std::unique_ptr<T>& Slot() {
        static std::unique_ptr<T> slot;
        return slot;
    }
};
