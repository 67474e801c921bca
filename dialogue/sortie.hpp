// SPDX-License-Identifier: GPL-3.0-or-later
// Standard output as the dialogue writes it: a buffer over the file
// descriptor that keeps the error of a write that failed, so that the end of
// the program can tell a reader that went away from a full disk; and that
// writes whole blocks only, so that whatever ends the program, even
// SIGKILL, what it leaves ends where a block (or a line) ends.
#pragma once

#include <cstddef>
#include <streambuf>
#include <vector>

class SortieFd : public std::streambuf {
public:
    explicit SortieFd(int fd) : fd_(fd), tampon_(kTaille) { setp(tampon_.data(), tampon_.data() + tampon_.size()); }
    SortieFd(const SortieFd&) = delete;
    SortieFd& operator=(const SortieFd&) = delete;
    ~SortieFd() override { vide(pptr()); }

    // errno of the first write that failed, 0 while none has.
    int erreur() const { return erreur_; }

    // A block ends here: a full buffer is written up to the last such end,
    // never beyond (a flush writes everything).
    void marque() { marque_ = static_cast<std::size_t>(pptr() - pbase()); }

protected:
    int_type overflow(int_type c) override;
    int sync() override { return vide(pptr()) ? 0 : -1; }

private:
    static constexpr std::size_t kTaille = std::size_t{1} << 16;

    // Writes the buffer up to fin and keeps what follows.
    bool vide(const char* fin);

    int fd_;
    int erreur_ = 0;
    std::vector<char> tampon_;
    std::size_t marque_ = 0;
};
