// SPDX-License-Identifier: GPL-3.0-or-later
// Standard output with the error of its failed writes, in whole blocks.
#include "sortie.hpp"

#include <cerrno>
#include <cstring>

#include <unistd.h>

SortieFd::int_type SortieFd::overflow(int_type c) {
    // After a failed write, nothing more is kept: the stream fails.
    if (erreur_) return traits_type::eof();
    if (marque_ > 0) {
        // Full: what precedes the last end of a block goes out.
        if (!vide(pbase() + marque_)) return traits_type::eof();
    }
    if (pptr() == epptr()) {
        // One block fills the buffer on its own: the buffer grows.
        const auto n = static_cast<std::size_t>(pptr() - pbase());
        tampon_.resize(tampon_.size() * 2);
        setp(tampon_.data(), tampon_.data() + tampon_.size());
        pbump(static_cast<int>(n));
    }
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

bool SortieFd::vide(const char* fin) {
    if (erreur_) return false;
    const char* p = pbase();
    while (p < fin) {
        const ssize_t n = ::write(fd_, p, static_cast<std::size_t>(fin - p));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            erreur_ = n < 0 ? errno : EIO;
            return false;
        }
        p += n;
    }
    // What follows fin moves to the front.
    const auto reste = static_cast<std::size_t>(pptr() - fin);
    std::memmove(tampon_.data(), fin, reste);
    setp(tampon_.data(), tampon_.data() + tampon_.size());
    pbump(static_cast<int>(reste));
    marque_ = 0;
    return true;
}
