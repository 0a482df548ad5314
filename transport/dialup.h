#pragma once
// The check made before going on line: on a machine that dials up and is not
// connected, the system's dial-up dialog is offered first.

class DialUpService;

// True means go on line. False only when dial-up networking is configured,
// no connection is up, and the user left the dial-up dialog without
// connecting. Every failure to load, look up or enumerate answers true.
// Libraries the check loads are released again on every way out; libraries
// that were loaded already are left alone. No state is kept between calls.
bool DialUpCheck(DialUpService &service);

// The check against this system's dial-up service. Linux has none, so this
// answers true.
bool DialUpCheck();
