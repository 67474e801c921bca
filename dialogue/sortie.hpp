// SPDX-License-Identifier: GPL-3.0-or-later
// Standard output as the dialogue writes it: a buffer over the file
// descriptor that keeps the error of a write that failed, so that the end of
// the program can tell a reader that went away from a full disk.
#pragma once

#include <streambuf>

class SortieFd : public std::streambuf {
public:
    explicit SortieFd(int fd) : fd_(fd) { setp(tampon_, tampon_ + sizeof tampon_); }
    SortieFd(const SortieFd&) = delete;
    SortieFd& operator=(const SortieFd&) = delete;
    ~SortieFd() override { vide(); }

    // errno of the first write that failed, 0 while none has.
    int erreur() const { return erreur_; }

protected:
    int_type overflow(int_type c) override;
    int sync() override { return vide() ? 0 : -1; }

private:
    bool vide();

    int fd_;
    int erreur_ = 0;
    char tampon_[1 << 16];
};
