// The framework's exceptions. Messages are one line ending in "\n" so they can go to the log or a
// report as they stand. Nothing catches them by type: an uncaught one reaches the terminate handler.
#pragma once

class GameException {
public:
    GameException() = default;
    GameException(const GameException&) = default;
    GameException& operator=(const GameException&) = default;
    virtual ~GameException() = default;
};

class GameTextException : public GameException {
public:
    GameTextException(int code, const char* text);
    // `format` holds one "%s", replaced by `argument`.
    GameTextException(int code, const char* format, const char* argument);
    GameTextException(const GameTextException& other);
    GameTextException& operator=(const GameTextException& other);
    ~GameTextException() override;

    virtual int getCode() const { return code; }
    virtual const char* getText() const { return text; }

private:
    int code;
    char* text;
};
