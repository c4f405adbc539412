// Keeps the page's files for visits without a network: service_worker.js,
// which the build writes with the list of the page's files and its version.
// It is registered once the program has its files and has started, so that
// it finds them in the browser's cache (the server only confirms that they
// have not changed) instead of fetching them a second time. A page that
// came from the kept files asks the server for a newer build at once
// (browsers ask by themselves only now and then). Where the browser has no
// service workers for this page (a private window, a page not from https or
// the loopback), the page works as before, from the network.
if ('serviceWorker' in navigator) {
  const keep_files = () => {
    const kept = navigator.serviceWorker.controller !== null;
    navigator.serviceWorker.register('service_worker.js')
      .then((registration) => kept && registration.update()).catch(() => {});
  };
  Module.postRun = [].concat(Module.postRun ?? [], keep_files);
}
