#pragma once
// The fixed texts of the options dialog and the folder chooser. Narrow
// literals are compiled to Shift-JIS, so these are the bytes the user sees.

namespace optiontext {

inline constexpr const char* kCaption = "Kelvane - 設定";
inline constexpr const char* kGroupTray = "トレイアイコン設定";
inline constexpr const char* kPrev = "Prevボタン";
inline constexpr const char* kPause = "Pauseボタン";
inline constexpr const char* kPlayChangePause = "Playボタンと Pauseボタンを切り替える";
inline constexpr const char* kStop = "Stopボタン";
inline constexpr const char* kCloseOnStop = "Stopボタンで Winampを終了させる";
inline constexpr const char* kNext = "Nextボタン";
inline constexpr const char* kEject = "Ejectボタン";
inline constexpr const char* kGroupStartup = "起動設定";
inline constexpr const char* kStartup = "スタートアップに登録する";
inline constexpr const char* kPlayOnStartup = "起動と同時に Winampの再生を始める";
inline constexpr const char* kGroupEffect = "効果";
inline constexpr const char* kFadeoutOnStop = "停止時に フェイドアウトを有効にする";
inline constexpr const char* kFadeoutOnChange = "トラック変更時に フェイドアウトを有効にする";
inline constexpr const char* kAutoHide = "マウスが離れたら ウィンドウを隠す";
inline constexpr const char* kNotifyTrack = "曲が変わったら通知する";
inline constexpr const char* kLabel1 = "プレイリストウィンドウの表示位置";
inline constexpr const char* kPositions[4] = {"左上", "左下", "右上", "右下"};
inline constexpr const char* kGroupPlayList = "プレイリスト設定";
inline constexpr const char* kCheckMP3OnUpdate = "更新時に mp3ファイルも調べる";
inline constexpr const char* kReadID3v2 = "ID3v2タグも読む";
inline constexpr const char* kGroupByAlbumArtist = "アルバムアーティストでまとめる";
inline constexpr const char* kUnicodeLibrary = "UTF-8 (.m3u8) で保存する";
inline constexpr const char* kPlayListPathLabel = "プレイリストが格納されているフォルダ";
inline constexpr const char* kBrowse = "参照";
inline constexpr const char* kCancel = "キャンセル";
inline constexpr const char* kFolderDialogTitle = "プレイリスト(m3u)ファイルのあるフォルダを指定してください。";
inline constexpr const char* kFolderDialogDefaultTitle = "フォルダーの選択";
// A folder chosen or typed whose name no settings file can hold (a broken
// UTF-16 pair in it).
inline constexpr const char* kFolderUnusable =
    "「%s」\r\n\r\nこのフォルダ名には設定ファイルに保存できない文字が含まれているため、"
    "プレイリストのフォルダとして使えません。前の設定のままにします。";

// The shortcut keys' own dialog. Each key is named by what it works: the
// tray buttons Prev to Next, then the playlist window.
inline constexpr const char* kShortcuts = "ショートカットキー...";
inline constexpr const char* kShortcutCaption = "Kelvane - ショートカットキー";
inline constexpr const char* kUseHotKeys = "ショートカットキーを使う";
inline constexpr const char* kShortcutNames[6] = {"Prev", "Play", "Pause", "Stop", "Next", "プレイリストウインドウ"};
inline constexpr const char* kUseMediaKeys = "キーボードのメディアキーでも操作する";
inline constexpr const char* kShortcutTwice =
    "同じキーが 2 つ以上の操作に指定されています。それぞれ別のキーを指定してください。";

// Hints: each line ends in CR LF, an empty line is a second one.
inline constexpr const char* kHintEject =
    "プレイリストファイル(m3u)や、mp3などのオーディオファイルを開くためのダイアログを表示します。\r\n"
    "これはWinampの「Open file」機能を利用しています。";
inline constexpr const char* kHintPlayChangePause =
    "再生中に、PlayボタンをPauseボタンに切り替えます。\r\n\r\n"
    "これによって、PlayボタンとPauseボタンを同時に表示する必要がなくなり\r\n"
    "タスクトレイの占有スペースを節約できます。";
inline constexpr const char* kHintCloseOnStop =
    "Stopボタンで再生を停止させたときに、Winampを終了させます。\r\n\r\n"
    "これによって、システムリソースを節約できます。\r\n"
    "しかし、Winampの起動、終了に時間がかかり、レスポンスが悪くなります。\r\n\r\n"
    "また、Playボタンで再びWinampは起動しますが、\r\n"
    "シャッフルが有効になっていると、リスト中の再生する曲が変わってしまいます。";
inline constexpr const char* kHintStartup =
    "スタートアップに本アプリを登録します。\r\n\r\n"
    "Windows起動時に本アプリも起動しますので\r\n"
    "ボタン群が常にタスクトレイに表示されます。\r\n"
    "頻繁にWinampを使用する場合に効果的です。";
inline constexpr const char* kHintPlayOnStartup =
    "本アプリを起動したと同時に、Winampの再生を始めます。\r\n\r\n"
    "このとき再生される曲は、前回Winampが使用していたプレイリストの中から選ばれます。\r\n"
    "スタートアップ登録と併用すると、Windows起動と同時に再生が開始されます。";
inline constexpr const char* kHintFadeoutOnStop =
    "Stopボタンで曲を停止したときに\r\n"
    "音量を徐々に小さくしてから停止します。";
inline constexpr const char* kHintFadeoutOnChange =
    "再生状態からNextボタンなどで曲を変更したときに\r\n"
    "音量を徐々に小さくしてから曲の変更を行います。";
inline constexpr const char* kHintAutoHide =
    "プレイリストウィンドウを開いてるときに\r\n"
    "マウスをウィンドウから離すとウィンドウを隠します。";
inline constexpr const char* kHintPlaylistPos =
    "ディスプレイに対して、プレイリストを表示する位置を指定します。\r\n\r\n"
    "タスクバーの位置を変更している場合などは\r\n"
    "タスクトレイから一番近い場所を指定することで\r\n"
    "操作効率を高めることができます。";
inline constexpr const char* kHintPlayListPath =
    "ここに指定されたフォルダにあるプレイリストファイル(m3u)が\r\n"
    "プレイリストウィンドウに表示されます。\r\n\r\n"
    "「プレイリスト更新」を行うことで、それぞれのプレイリストに関して\r\n"
    "アーティスト、アルバム別に分類することができます。";
inline constexpr const char* kHintCheckMP3OnUpdate =
    "チェックされていないと、更新時にプレイリスト(m3u)のタイムスタンプだけを調べて更新を行います。\r\n\r\n"
    "チェックされていると、プレイリストに含まれるmp3ファイルのタイムスタンプも調べます。\r\n"
    "これによって、mp3タグの編集が反映されます。ただし、更新にかかる時間は増えます。";
inline constexpr const char* kHintReadID3v2 =
    "チェックされていると、mp3ファイルの先頭にある ID3v2 タグからも\r\n"
    "アーティスト名とアルバム名を読みます。\r\n\r\n"
    "切り替えた後の最初の更新では、すべてのプレイリストを作り直します。";
inline constexpr const char* kHintGroupByAlbumArtist =
    "チェックされていると、ID3v2 タグのアルバムアーティスト (TPE2) ごとにまとめます。\r\n"
    "コンピレーションは 1 つのアーティストになり、同じ名前の別のアルバムは分けられます。\r\n\r\n"
    "切り替えた後の最初の更新では、すべてのプレイリストを作り直します。";
inline constexpr const char* kHintUnicodeLibrary =
    "チェックされていると、作成するプレイリストを m3u8 (UTF-8) で保存し、\r\n"
    "どの言語のアーティスト名やアルバム名もそのまま残します。\r\n\r\n"
    "切り替えた後の最初の更新では、すべてのプレイリストを作り直します。";
inline constexpr const char* kHintNotifyTrack =
    "Winampが次の曲へ進んだときに、Playボタンから曲名を通知します。\r\n\r\n"
    "Kelvaneのボタンで曲を変えたときには通知しません。";

inline constexpr const char* kHintUseHotKeys =
    "ほかのプログラムを使っているときでも、ここで指定したキーで\r\n"
    "トレイアイコンのボタンと同じ操作ができます。\r\n\r\n"
    "Winamp のグローバルホットキー プラグインと同じキーを使うので、\r\n"
    "両方を同時に有効にしないでください。";
inline constexpr const char* kHintUseMediaKeys =
    "キーボードのメディアキー (再生/一時停止、停止、前のトラック、次のトラック) でも\r\n"
    "Winamp を操作します。再生/一時停止キーは、再生中と一時停止中は Pauseボタン、\r\n"
    "それ以外では Playボタンと同じ働きをします。\r\n\r\n"
    "ブラウザやほかのプレーヤーもメディアキーに反応することがあります。";

// The dialog's own picture in the program's resources.
inline constexpr const char* kIconResource = "OPTIONICON";

}  // namespace optiontext
