#pragma once

class ScreenSource;
class MousePointer;
class MessageBox;
class InstanceCheck;
class Program;
class Clipboard;
class SaveDialog;
class Shell;

// The platform services a capture window uses, injected so that tests can use fakes.
// The pointers are not owned; they outlive every window that holds them.
struct Platform {
    ScreenSource* screen = nullptr;
    MousePointer* pointer = nullptr;
    MessageBox* messageBox = nullptr;
    InstanceCheck* instance = nullptr;
    Program* program = nullptr;
    Clipboard* clipboard = nullptr;
    SaveDialog* saveDialog = nullptr;
    Shell* shell = nullptr;
};
