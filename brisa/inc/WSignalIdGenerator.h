#ifndef BRISA_WSIGNAL_ID_GENERATOR_H
#define BRISA_WSIGNAL_ID_GENERATOR_H

namespace brisa {

// Listener ids are unique across every signal of the process, so an id
// handed to the wrong signal can never remove somebody else's listener.
class WSignalIdGenerator {
  public:
    static int generate();
};

}  // namespace brisa

#endif
