#pragma once

// The deployment's hosts, compiled into the program. The build sets them
// from its cache variables QEL_PLATFORM_HOST, QEL_PAYMENT_HOST and
// QEL_GAME_HOST (app/CMakeLists.txt, with the same defaults as here).
#ifndef QEL_PLATFORM_HOST
#define QEL_PLATFORM_HOST "www.qelmora.example"
#endif
#ifndef QEL_PAYMENT_HOST
#define QEL_PAYMENT_HOST "pay.qelmora.example"
#endif
#ifndef QEL_GAME_HOST
#define QEL_GAME_HOST "game.qelmora.example"
#endif

#define QEL_WIDEN_(text) L##text
#define QEL_WIDEN(text) QEL_WIDEN_(text)

inline constexpr wchar_t kPlatformHost[] = QEL_WIDEN(QEL_PLATFORM_HOST);
inline constexpr wchar_t kPaymentHost[] = QEL_WIDEN(QEL_PAYMENT_HOST);
inline constexpr wchar_t kGameHost[] = QEL_WIDEN(QEL_GAME_HOST);
