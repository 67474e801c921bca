// SPDX-License-Identifier: GPL-3.0-or-later
// Standard output with the error of its failed writes.
#include "sortie.hpp"

#include <cerrno>

#include <unistd.h>

SortieFd::int_type SortieFd::overflow(int_type c) {
    if (!vide()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

bool SortieFd::vide() {
    if (erreur_) return false;
    const char* p = pbase();
    while (p < pptr()) {
        const ssize_t n = ::write(fd_, p, static_cast<std::size_t>(pptr() - p));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            erreur_ = n < 0 ? errno : EIO;
            return false;
        }
        p += n;
    }
    setp(tampon_, tampon_ + sizeof tampon_);
    return true;
}
