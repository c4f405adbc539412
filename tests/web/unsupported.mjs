// A capability that this engine lacks on this machine: the input functions
// throw it, and the tests say so with not_checked.
export class Unsupported extends Error {
  constructor(message) {
    super(message);
    this.name = 'Unsupported';
  }
}
