#pragma once

// Round trips to a server the process has made: each time a socket receives after it
// has sent, however many sends make the request and receives the answer. The program
// that links this counts the calls of every library it loads (both servers' client
// libraries send and receive through send and recv).
long RoundTripCount();
