#pragma once

#include "program/Widget.h"

#include <cstdint>

class ServerWidget;

// The page "New Server": an empty server form that stores a new server and
// returns to the server list.
class ServerConfig_Add : public Widget {
    Q_OBJECT

public:
    explicit ServerConfig_Add(QWidget* parent = nullptr);
    ~ServerConfig_Add() override;

    void refresh() override;
    bool writesSettings() const override;
    ServerWidget* form() const { return form_; }

signals:
    void backToConfig();

public slots:
    void set();

private:
    ServerWidget* form_;
};

// The page "Server Details": the stored server whose key the server list
// handed over, for editing.
class ServerDetail : public Widget {
    Q_OBJECT

public:
    explicit ServerDetail(QWidget* parent = nullptr);
    ~ServerDetail() override;

    void setParams(QHash<QString, QVariant>& params) override;
    bool writesSettings() const override;
    ServerWidget* form() const { return form_; }
    int32_t key() const { return key_; }

signals:
    void backToConfig();

public slots:
    void accepted();

private:
    ServerWidget* form_;
    int32_t key_ = -1;
};
