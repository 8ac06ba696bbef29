// Runs inside the module before the game starts: the browser's storage as the player's home folders, and the
// page's settings as the game's environment.
Module.preRun = (Module.preRun || []).concat([function () {
  FS.mkdir('/persist');
  FS.mount(IDBFS, {}, '/persist');
  addRunDependency('zorvel-storage');
  FS.syncfs(true, function (error) {
    if (error) console.warn('Zorvel: the saved players and scores could not be read', error);
    removeRunDependency('zorvel-storage');
  });
  ENV.HOME = '/persist';
  ENV.XDG_CONFIG_HOME = '/persist/config';
  ENV.XDG_DATA_HOME = '/persist/data';
  const settings = Module.zorvelSettings || {};
  for (const key in settings) ENV[key] = String(settings[key]);
}]);

// Copies what the game wrote to the browser's storage; only files that changed are written. One copy at a time:
// a request made meanwhile runs when the current one is done.
let persisting = false, waiting = [];
Module.zorvelPersist = function (done) {
  if (done) waiting.push(done);
  if (persisting) { persisting = 'again'; return; }
  persisting = true;
  FS.syncfs(false, function (error) {
    if (error) console.warn('Zorvel: the players and scores could not be saved', error);
    const again = persisting === 'again';
    persisting = false;
    if (again) { Module.zorvelPersist(); return; }
    const callbacks = waiting;
    waiting = [];
    callbacks.forEach(function (callback) { callback(error); });
  });
};
