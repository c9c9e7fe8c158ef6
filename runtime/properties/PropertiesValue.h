// The values stored in a Properties tree. A value never changes its kind: the operations of other kinds
// do nothing and read as 0, "" or null. Only values marked saved (all new ones) are written.
#pragma once

#include "runtime/properties/Properties.h"

#include <string>

class PropertiesValue {
public:
    PropertiesValue() = default;
    PropertiesValue(const PropertiesValue&) = delete;
    PropertiesValue& operator=(const PropertiesValue&) = delete;
    virtual ~PropertiesValue() = default;

    virtual void setInt(const int&) {}
    virtual int getInt() const { return 0; }
    virtual bool isInt() const { return false; }
    virtual void setFloat(const float&) {}
    virtual float getFloat() const { return 0.0f; }
    virtual bool isFloat() const { return false; }
    virtual void setString(const std::string&) {}
    virtual std::string getString() const { return std::string(); }
    virtual bool isString() const { return false; }
    virtual Properties* getChild() { return nullptr; }
    virtual bool isChild() const { return false; }
    virtual bool isSameKind(const PropertiesValue& other) const { return true; }
    virtual void assignFrom(const PropertiesValue& other) {}
    virtual void setSaved(bool flag) { saved = flag; }
    virtual bool isSaved() const { return saved; }

private:
    bool saved = true;
};

class PropertiesInt : public PropertiesValue {
public:
    explicit PropertiesInt(int value) : value(value) {}
    void setInt(const int& v) override { value = v; }
    int getInt() const override { return value; }
    bool isInt() const override { return true; }
    bool isSameKind(const PropertiesValue& other) const override { return other.isInt(); }
    void assignFrom(const PropertiesValue& other) override { value = other.getInt(); }

private:
    int value;
};

class PropertiesFloat : public PropertiesValue {
public:
    explicit PropertiesFloat(float value) : value(value) {}
    void setFloat(const float& v) override { value = v; }
    float getFloat() const override { return value; }
    bool isFloat() const override { return true; }
    bool isSameKind(const PropertiesValue& other) const override { return other.isFloat(); }
    void assignFrom(const PropertiesValue& other) override { value = other.getFloat(); }

private:
    float value;
};

class PropertiesString : public PropertiesValue {
public:
    explicit PropertiesString(const std::string& value) : value(value) {}
    void setString(const std::string& v) override { value = v; }
    std::string getString() const override { return value; }
    bool isString() const override { return true; }
    bool isSameKind(const PropertiesValue& other) const override { return other.isString(); }
    void assignFrom(const PropertiesValue& other) override { value = other.getString(); }

private:
    std::string value;
};

// Holds an embedded tree; assignFrom does nothing.
class PropertiesChild : public PropertiesValue {
public:
    PropertiesChild() = default;
    Properties* getChild() override { return &tree; }
    bool isChild() const override { return true; }
    bool isSameKind(const PropertiesValue& other) const override { return other.isChild(); }

private:
    Properties tree;
};
